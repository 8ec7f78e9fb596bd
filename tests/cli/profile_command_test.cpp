// The profile and datasource commands run as processes on the tiny demo data:
// exact output in CSV, the option checks, and a failing call's report. Each
// run is a new process with a new in-memory database, so a value set by one
// run is not seen by the next until databases can live in files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const std::string kTiny =
    "'ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};DBMS Name=Orvalent Embedded;"
    "DBMS Version=01.00.0000;'";

struct CommandRun {
  int exit_code = -1;
  std::string output;  // standard output, then standard error when `with_errors`
};

CommandRun Orvalent(const std::string& arguments, bool with_errors = false) {
  const std::filesystem::path binary =
      std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "cli" / "orvalent";
  const std::string command = "'" + binary.string() + "' " + arguments + (with_errors ? " 2>&1" : " 2>/dev/null");
  CommandRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
  const int status = ::pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(ProfileCommand, GetPrintsTheStoredRowsAndSetPrintsNothing) {
  CommandRun run = Orvalent("profile get --report 2010007 --user 3 --format csv --session " + kTiny);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "FPlan,FValue\r\n0,0\r\n1,1\r\n");
  run = Orvalent("profile get --report 2010007 --user 99 --format csv --session " + kTiny);
  EXPECT_EQ(run.output, "FPlan,FValue\r\n");
  run = Orvalent("profile set --report 2010007 --user 3 --value \"it's\" --session " + kTiny, true);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "");
}

TEST(ProfileCommand, OptionsMustFitTheAction) {
  CommandRun run = Orvalent("profile set --report 1 --user 2 --session " + kTiny, true);
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.output, "profile set needs --value.\n");
  run = Orvalent("profile get --report 1 --user 2 --value 1 --session " + kTiny, true);
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.output, "profile get takes no --value.\n");
}

TEST(ProfileCommand, AFailedWriteShowsTheComponentsNumberAndTheChainedSource) {
  const CommandRun run = Orvalent(
      "profile set --report 1 --user 2 --value 1 "
      "--session 'ConnectString={Provider=Orvalent.Embedded;Data Source=:memory:};'",
      true);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output,
            "Number: 0x80044044 (-2147205052)\n"
            "Source: Orvalent.CDataUpdate.SetDisEnterProfile\r\nOrvalent.Embedded\n"
            "Description: \r\nInvalid object name 'ICReportProfile'.\n");
}

TEST(DataSourceCommand, PrintsTheCapabilitiesAndTheDataTypes) {
  const CommandRun run = Orvalent("datasource --format csv --session " + kTiny);
  EXPECT_EQ(run.exit_code, 0);
  for (const std::string line : {"Property,Value\r\nDBMSName,Orvalent Embedded\r\nDBMSVersion,01.00.0000\r\n",
                                 "\r\nLikeEscapeClause,True\r\nIEF,False\r\n",
                                 "\r\nSupportedProc,\"p_GetBillNo, p_UpdateBillStatus, p_RptItemLevel\"\r\n",
                                 "\r\nConnected,True\r\nFDataType,FTypeName,FMaxPrecision,FMinScale,FMaxScale,"
                                 "FActualType,FBindType,FActualSize\r\n"
                                 "1,int,,,,3,3,4\r\n2,decimal,38,0,38,131,131,\r\n",
                                 "\r\n10,money,,,,6,6,8\r\n"}) {
    EXPECT_NE(run.output.find(line), std::string::npos) << line << " not in\n" << run.output;
  }
}

}  // namespace
