// The program's own surface: version, help, a mistyped or missing command,
// the class list and the bash completion script (run through bash).
#include <cstdlib>

#include "tests/cli/cli_fixture.h"

namespace orv::cli::test {
namespace {

using CommandLine = CliTest;

const std::string kCommands =
    "Commands: help sql classes report profile import export datasource serve user completion\nRun 'orvalent help' for more.\n";

TEST_F(CommandLine, VersionAndHelp) {
  CliResult result = Run({"--version"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, "orvalent 1.0.0\n");
  result = Run({"help"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out.rfind("Orvalent: the fixed-asset acquisition reports on an embedded database\n"
                             "Usage: orvalent [OPTIONS] [SUBCOMMAND]\n",
                             0),
            0u)
      << result.out;
  result = Run({"help", "report"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.out.find("Usage: orvalent report [OPTIONS] report\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("--list-conditions"), std::string::npos);
}

TEST_F(CommandLine, AMistypedOrMissingCommandNamesTheWord) {
  CliResult result = Run({"repor", "2010001"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "orvalent: 'repor' is not a command; did you mean 'report'?\n" + kCommands);
  result = Run({"help", "SQL"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "orvalent: 'SQL' is not a command; did you mean 'sql'?\n" + kCommands);
  result = Run({});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "orvalent: a command is required.\n" + kCommands);
  result = Run({"report"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "report is required\nRun with --help for more information.\n");
}

TEST_F(CommandLine, ClassesListsProgIdsWithTheirIdentifiers) {
  const CliResult result = Run({"classes", "--format", "csv"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_NE(result.out.find("Orvalent.CRPT2010001,{759F8A15-A78C-460A-8D1C-8A1660EF4A14},"
                            "{5E6CBD4D-A797-4E45-8E4A-4DFE64EB3564},_CRPT2010001,GetRptData,0x60030002,Orvalent\r\n"),
            std::string::npos)
      << result.out;
}

// Each case: the words on the line (the last one being completed) and what
// bash offers.
TEST_F(CommandLine, BashCompletionOffersCommandsOptionsReportsAndConditionKeys) {
  const CliResult script = Run({"completion", "bash"});
  ASSERT_EQ(script.exit_code, 0) << script.err;
  const fs::path completion = WriteFile("completion.bash", script.out);
  const std::string driver =
      "source '" + completion.string() +
      "'\n"
      "t() { COMP_WORDS=(\"$@\"); COMP_CWORD=$((${#COMP_WORDS[@]}-1)); COMPREPLY=(); _orvalent; "
      "echo \"${COMPREPLY[*]}\"; }\n"
      "t orvalent re\n"
      "t orvalent report 20100\n"
      "t orvalent report 2010005 --condition FBill\n"
      "t orvalent report --session 'Language=en;' --show-sql 2010001 --condition FHook\n"
      "t orvalent report 2010001 --list\n"
      "t orvalent sql --format j\n"
      "t orvalent sql -d demo-t\n"
      "t orvalent help cl\n"
      "t orvalent da\n";
  const fs::path out = directory_ / "completions";
  const std::string command = "bash '" + WriteFile("driver.bash", driver).string() + "' > '" + out.string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(out);
  EXPECT_EQ(ReadFile(out),
            "report\n"
            "2010001 2010002 2010005 2010006 2010007\n"
            "FBillStartDate= FBillEndDate= FBillRowStatus=\n"
            "FHookStatus=\n"
            "--list-conditions\n"
            "json jsonl\n"
            "demo-tiny\n"
            "classes\n"
            "datasource\n");
}

}  // namespace
}  // namespace orv::cli::test
