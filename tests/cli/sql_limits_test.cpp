// `orvalent sql` under careless use: output that cannot be written, database
// names that do not exist, the explicit empty database, and the memory limit.
#include <sys/wait.h>

#include <cstdlib>

#include "tests/cli/cli_fixture.h"

namespace orv::cli::test {
namespace {

using SqlLimits = CliTest;

// The exit code of a shell command line.
int Shell(const std::string& command) {
  const int status = std::system(("bash -c '" + command + "'").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SqlLimits, OutputThatCannotBeWrittenFailsTheCommand) {
  const std::string binary = binary_.string();
  const std::string errors = (directory_ / "err.txt").string();
  EXPECT_EQ(Shell(binary + " sql -Q \"SELECT 1 AS one\" > /dev/full 2> " + errors), 1);
  EXPECT_NE(ReadFile(errors).find("could not be written"), std::string::npos) << ReadFile(errors);
  // A reader that has gone: the write fails with EPIPE instead of killing the program silently.
  EXPECT_EQ(Shell("set -o pipefail; " + binary +
                  " sql -Q \"SELECT REPLICATE(CAST(SPACE(1) AS VARCHAR(MAX)), 1000000) AS t\" 2> " + errors + " | true"),
            1);
  EXPECT_NE(ReadFile(errors).find("could not be written"), std::string::npos) << ReadFile(errors);
  const CliResult to_file = Run({"sql", "-Q", "SELECT 1 AS one", "-o", "/dev/full"});
  EXPECT_EQ(to_file.exit_code, 1);
  EXPECT_NE(to_file.err.find("The output could not be written to '/dev/full'."), std::string::npos) << to_file.err;
}

TEST_F(SqlLimits, AnUnknownDatabaseIsError4060AndMemoryIsAnEmptyOne) {
  const CliResult unknown = Run({"sql", "-d", "ICPurChase", "-Q", "SELECT 1"});
  EXPECT_EQ(unknown.exit_code, 1);
  EXPECT_EQ(unknown.err.rfind("Cannot open database \"ICPurChase\" requested by the login. The login failed.", 0), 0u)
      << unknown.err;
  EXPECT_NE(unknown.err.find("demo-tiny"), std::string::npos) << unknown.err;
  const CliResult empty =
      Run({"sql", "-d", ":memory:", "--format", "csv", "-Q", "CREATE TABLE t (a INT) SELECT COUNT(*) AS n FROM t"});
  EXPECT_EQ(empty.exit_code, 0) << empty.err;
  EXPECT_EQ(empty.out, "n\r\n0\r\n");
}

TEST_F(SqlLimits, ABatchPastTheMemoryLimitFailsWith701AndTheNextOneRuns) {
  const CliResult result = Run({"sql", "--memory-limit-mb", "16", "--format", "csv"},
                               "SELECT LEN(REPLICATE(CAST('a' AS VARCHAR(MAX)), 100000000)) AS n\nGO\n"
                               "SELECT 2 AS two\nGO\n");
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("Msg 701, Level 17"), std::string::npos) << result.err;
  EXPECT_NE(result.out.find("two\r\n2\r\n"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace orv::cli::test
