// The `orvalent` command run as a process: script output in the three
// formats, the server-style error report and exit code, the report command's
// error report and its --show-sql trace, and the class list.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct CliResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The command is built beside the tests: <build>/cli/orvalent.
    binary_ = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "cli" / "orvalent";
    if (!fs::exists(binary_)) GTEST_SKIP() << "orvalent is not built: " << binary_;
    directory_ = fs::temp_directory_path() / ("orv_cli_" + std::to_string(::getpid()));
    fs::create_directories(directory_);
  }
  void TearDown() override {
    if (!directory_.empty()) fs::remove_all(directory_);
  }

  fs::path WriteFile(const std::string& name, const std::string& text) {
    const fs::path path = directory_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  CliResult Run(const std::string& arguments) {
    const fs::path out = directory_ / "stdout";
    const fs::path err = directory_ / "stderr";
    const std::string command =
        "'" + binary_.string() + "' " + arguments + " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
  }

  fs::path binary_;
  fs::path directory_;
};

const std::string kScript =
    "SET NOCOUNT ON\n"
    "CREATE TABLE #T (FName NVARCHAR(20) NULL, FQty DECIMAL(10,2) NULL)\n"
    "INSERT INTO #T VALUES (N'资产', 12), (N'a,\"b\"', 3.5), (NULL, NULL)\n"
    "GO\n"
    "SELECT FName, FQty FROM #T\n";

TEST_F(CliTest, SqlPrintsAlignedColumnsCountingWideCharactersTwice) {
  const CliResult result = Run("sql '" + WriteFile("t.sql", kScript).string() + "'");
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out,
            "FName FQty\n"
            "----- -----\n"
            "资产  12.00\n"
            "a,\"b\"  3.50\n"
            "NULL   NULL\n"
            "\n");
}

TEST_F(CliTest, SqlWritesCsvByTheRfc) {
  const CliResult result = Run("sql --format csv '" + WriteFile("t.sql", kScript).string() + "'");
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "FName,FQty\r\n资产,12.00\r\n\"a,\"\"b\"\"\",3.50\r\n,\r\n");
}

TEST_F(CliTest, SqlWritesJsonWithExactNumbersAndNulls) {
  const CliResult result = Run("sql --format json '" + WriteFile("t.sql", kScript).string() + "'");
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_NE(result.out.find("\"FQty\":3.50}"), std::string::npos) << result.out;
  const auto rows = nlohmann::json::parse(result.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0]["FName"], "资产");
  EXPECT_EQ(rows[1]["FName"], "a,\"b\"");
  EXPECT_EQ(rows[1]["FQty"], 3.5);
  EXPECT_TRUE(rows[2]["FName"].is_null());
}

TEST_F(CliTest, SqlErrorIsReportedLikeTheServersClientAndFailsTheRun) {
  const std::string script = "SELECT 1 AS FOne\nGO\nSET NOCOUNT ON\n\nSELECT * FROM t_Nope\nGO\nSELECT 2 AS FTwo\n";
  const CliResult result = Run("sql --format csv '" + WriteFile("e.sql", script).string() + "'");
  EXPECT_NE(result.exit_code, 0);
  EXPECT_EQ(result.err, "Msg 208, Level 16, State 1, Line 3\nInvalid object name 't_Nope'.\n");
  // The batches around the failing one still run.
  EXPECT_EQ(result.out, "FOne\r\n1\r\nFTwo\r\n2\r\n");
}

TEST_F(CliTest, SqlReportsEveryErrorOfABatchThatGoesOn) {
  const std::string script =
      "SET NOCOUNT ON\nCREATE TABLE #C (FA INT NOT NULL)\nINSERT INTO #C VALUES (NULL)\nSELECT 1 / 0\n"
      "SELECT COUNT(*) AS FN FROM #C\n";
  const CliResult result = Run("sql --format csv '" + WriteFile("g.sql", script).string() + "'");
  EXPECT_NE(result.exit_code, 0);
  EXPECT_EQ(result.err,
            "Msg 515, Level 16, State 1, Line 3\n"
            "Cannot insert the value NULL into column 'FA', table 'tempdb.dbo.#C'; column does not allow nulls. "
            "INSERT fails.\n"
            "Msg 8134, Level 16, State 1, Line 4\nDivide by zero error encountered.\n");
  EXPECT_EQ(result.out, "FN\r\n0\r\n");
}

TEST_F(CliTest, SqlLoadsFilesFirstAndReportsAMissingFile) {
  const fs::path load = WriteFile("load.sql", "CREATE TABLE t_L (FID INT)\nGO\nINSERT INTO t_L VALUES (4)\n");
  CliResult result = Run("sql --format csv --load '" + load.string() + "' '" +
                         WriteFile("q.sql", "SELECT FID FROM t_L").string() + "'");
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "FID\r\n4\r\n");
  result = Run("sql '" + (directory_ / "missing.sql").string() + "'");
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.err.find("missing.sql"), std::string::npos);
}

TEST_F(CliTest, SqlRunsOnANamedDemoDatabase) {
  const CliResult result = Run("sql --format csv --database demo-tiny '" +
                               WriteFile("d.sql", "SELECT COUNT(*) AS FLines FROM ICPurChaseEntry WHERE 1 = 0").string() +
                               "'");
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "FLines\r\n0\r\n");
}

const std::string kEmptySession = "--session 'ConnectString={Provider=Orvalent.Embedded;Data Source=cli-empty};Language=chs;'";

TEST_F(CliTest, ReportErrorShowsNumberInHexAndDecimalWithSourceAndDescription) {
  const CliResult result = Run("report 2010001 " + kEmptySession);
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.err.find("Number: 0x80040E37 (-2147217865)\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("Source: Orvalent.CRPT2010001.GetRptData\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("Description: Invalid object name '"), std::string::npos) << result.err;
  EXPECT_EQ(result.out, "");
}

TEST_F(CliTest, ReportShowSqlTracesEveryBatch) {
  const CliResult result = Run("report Orvalent.CRPT2010001 --show-sql " + kEmptySession);
  EXPECT_EQ(result.err.rfind("SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED\nGO\n", 0), 0u) << result.err;
  EXPECT_NE(result.err.find("Create Table #Rpt2010001"), std::string::npos) << result.err;
}

TEST_F(CliTest, ReportRejectsBadConditionsAndNonReportClasses) {
  CliResult result = Run("report 2010001 --conditions '" + WriteFile("c.json", "[1, 2]").string() + "'");
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.err.find("one JSON object"), std::string::npos) << result.err;
  result = Run("report 2010001 --conditions '" + WriteFile("d.json", R"({"A": [1]})").string() + "'");
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.err.find("Condition 'A'"), std::string::npos) << result.err;
  result = Run("report 2010001 --condition NoEquals");
  EXPECT_NE(result.exit_code, 0);
  result = Run("report CDataRead");
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.err.find("not a report class"), std::string::npos) << result.err;
  result = Run("report 9999999");
  EXPECT_NE(result.exit_code, 0);
  EXPECT_NE(result.err.find("(429)"), std::string::npos) << result.err;
}

TEST_F(CliTest, ReportRunsOnTheDemoDatabaseAndPrintsItsRows) {
  const CliResult result = Run(
      "report CRPT2010001 --format csv "
      "--session 'ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};UserName=demo;Language=chs;'");
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("FDate,FFinDate,FInvoiceType,FInvoiceNumber,", 0), 0u) << result.out;
  // The total row comes last.
  const size_t last_line = result.out.rfind("\r\n", result.out.size() - 3);
  EXPECT_NE(result.out.find(",101,", last_line), std::string::npos) << result.out;
}

TEST_F(CliTest, GroupedReportRunsFromTheShell) {
  // Expense invoices by supplier: 6 lines, 4 supplier subtotals and the total.
  const CliResult result = Run(
      "report 2010002 --format csv --condition FChkGroupBy=1 --condition FGroupBySupply=0 "
      "--session 'ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};UserName=demo;Language=en;'");
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("FSupplyID,FSupplyNumber,FSupplyName,FFeeID,", 0), 0u) << result.out;
  EXPECT_NE(result.out.find(",(Total),"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find(",Acme 直供(Subtotal),"), std::string::npos) << result.out;
  size_t lines = 0;
  for (size_t at = result.out.find("\r\n"); at != std::string::npos; at = result.out.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 1u + 6u + 4u + 1u) << result.out;
}

TEST_F(CliTest, TypicalRequestRunsFromTheShell) {
  // Requisitions by department with the levels 1 to 2: 8 lines, 3 department
  // subtotals, 3 level-2 and 2 level-1 subtotals, the total.
  const CliResult result = Run(
      "report 2010006 --format csv --condition FGroupByUseDept=0 --condition FChkLevel=1 --condition FLvlFrom=1 "
      "--condition FLvlTo=2 "
      "--session 'ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};UserName=demo;Language=chs;'");
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("FName1,FName2,FUseDeptID,FUseDeptNumber,FUseDeptName,FSupplyID,", 0), 0u) << result.out;
  EXPECT_NE(result.out.find("(合计),"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("总公司(小计),"), std::string::npos) << result.out;
  size_t lines = 0;
  for (size_t at = result.out.find("\r\n"); at != std::string::npos; at = result.out.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 1u + 8u + 3u + 3u + 2u + 1u) << result.out;
}

TEST_F(CliTest, ClassesListsProgIdsWithTheirIdentifiers) {
  const CliResult result = Run("classes --format csv");
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_NE(result.out.find("Orvalent.CRPT2010001,{759F8A15-A78C-460A-8D1C-8A1660EF4A14},"
                            "{5E6CBD4D-A797-4E45-8E4A-4DFE64EB3564},_CRPT2010001,GetRptData,0x60030002,Orvalent\r\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Orvalent.CDataUpdate,"), std::string::npos);
}

}  // namespace
