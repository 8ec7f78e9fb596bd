// `orvalent sql` run as a process: the output formats byte for byte, the order
// of results, messages and errors, the client's batch commands and flags,
// script encodings, and the exit codes.
#include <nlohmann/json.hpp>

#include "tests/cli/cli_fixture.h"

namespace orv::cli::test {
namespace {

using SqlCommand = CliTest;

const std::string kScript =
    "SET NOCOUNT ON\n"
    "CREATE TABLE #T (FName NVARCHAR(20) NULL, FQty DECIMAL(10,2) NULL)\n"
    "INSERT INTO #T VALUES (N'资产', 12), (N'a,\"b\"', 3.5), (NULL, NULL), (N'', 0)\n"
    "GO\n"
    "SELECT FName, FQty FROM #T\n";

TEST_F(SqlCommand, TableAlignsWideCharactersAndNumbersAndShowsNull) {
  const CliResult result = Run({"sql", WriteFile("t.sql", kScript).string()});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  // 资产 is four terminal columns wide; numbers (and their NULLs) align right.
  EXPECT_EQ(result.out,
            "FName FQty\n"
            "----- -----\n"
            "资产  12.00\n"
            "a,\"b\"  3.50\n"
            "NULL   NULL\n"
            "       0.00\n"
            "\n");
  EXPECT_EQ(Run({"sql", "--null", "-", WriteFile("t.sql", kScript).string()}).out,
            "FName FQty\n----- -----\n资产  12.00\na,\"b\"  3.50\n-         -\n       0.00\n\n");
}

TEST_F(SqlCommand, CsvKeepsNullAndTheEmptyTextApart) {
  const fs::path script = WriteFile("t.sql", kScript + "SELECT N'NULL' AS FText\n");
  // NULL is an empty unquoted field, '' a quoted empty one.
  EXPECT_EQ(Run({"sql", "--format", "csv", script.string()}).out,
            "FName,FQty\r\n资产,12.00\r\n\"a,\"\"b\"\"\",3.50\r\n,\r\n\"\",0.00\r\nFText\r\nNULL\r\n");
  // A chosen NULL text is written bare; a text that equals it is quoted.
  EXPECT_EQ(Run({"sql", "--format", "CSV", "--null", "NULL", script.string()}).out,
            "FName,FQty\r\n资产,12.00\r\n\"a,\"\"b\"\"\",3.50\r\nNULL,NULL\r\n\"\",0.00\r\nFText\r\n\"NULL\"\r\n");
}

const std::string kJsonScript =
    "CREATE TABLE #J (FAmount DECIMAL(19,2), FCount INT, FName NVARCHAR(4), FFlag BIT, FNone INT)\n"
    "INSERT INTO #J VALUES (12345678901234567.89, 7, N'资产', 1, NULL)\n"
    "SELECT * FROM #J\n"
    "GO\n"
    "SELECT FCount FROM #J WHERE 1 = 0\n";

TEST_F(SqlCommand, JsonIsOneDocumentWithExactDecimalsAsStrings) {
  const CliResult result = Run({"sql", "--format", "json", WriteFile("j.sql", kJsonScript).string()});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out,
            "{\"results\":["
            "{\"columns\":[{\"name\":\"FAmount\",\"type\":\"decimal(19,2)\"},{\"name\":\"FCount\",\"type\":\"int\"},"
            "{\"name\":\"FName\",\"type\":\"nvarchar(4)\"},{\"name\":\"FFlag\",\"type\":\"bit\"},"
            "{\"name\":\"FNone\",\"type\":\"int\"}],"
            "\"rows\":[[\"12345678901234567.89\",7,\"资产\",true,null]]},"
            "{\"columns\":[{\"name\":\"FCount\",\"type\":\"int\"}],\"rows\":[]}],"
            "\"messages\":[\"(1 row affected)\",\"(1 row affected)\",\"(0 rows affected)\"]}\n");
  // Any JSON reader gets the amount back to the cent.
  const auto document = nlohmann::json::parse(result.out);
  EXPECT_EQ(document["results"][0]["rows"][0][0].get<std::string>(), "12345678901234567.89");
}

TEST_F(SqlCommand, JsonNumbersAndJsonLinesOnRequest) {
  const fs::path script = WriteFile("j.sql", kJsonScript);
  const CliResult numbers = Run({"sql", "--format", "json", "--json-numbers", script.string()});
  EXPECT_NE(numbers.out.find("\"rows\":[[12345678901234567.89,7,"), std::string::npos) << numbers.out;
  EXPECT_EQ(Run({"sql", "--jsonl", script.string()}).out,
            "{\"message\":\"(1 row affected)\"}\n"
            "{\"columns\":[{\"name\":\"FAmount\",\"type\":\"decimal(19,2)\"},{\"name\":\"FCount\",\"type\":\"int\"},"
            "{\"name\":\"FName\",\"type\":\"nvarchar(4)\"},{\"name\":\"FFlag\",\"type\":\"bit\"},"
            "{\"name\":\"FNone\",\"type\":\"int\"}]}\n"
            "[\"12345678901234567.89\",7,\"资产\",true,null]\n"
            "{\"message\":\"(1 row affected)\"}\n"
            "{\"columns\":[{\"name\":\"FCount\",\"type\":\"int\"}]}\n"
            "{\"message\":\"(0 rows affected)\"}\n");
}

TEST_F(SqlCommand, ResultsMessagesAndErrorsComeInTheOrderTheyHappen) {
  const std::string script =
      "CREATE TABLE #O (FA INT NOT NULL)\n"
      "INSERT INTO #O VALUES (1), (2)\n"
      "SELECT FA FROM #O\n"
      "INSERT INTO #O VALUES (NULL)\n"
      "UPDATE #O SET FA = FA + 1\n"
      "SELECT COUNT(*) AS FN FROM #O\n";
  // The error of the third statement stands between the first SELECT's count
  // and the UPDATE's; the batch goes on after it.
  EXPECT_EQ(RunMerged({"sql", WriteFile("o.sql", script).string()}),
            "(2 rows affected)\n"
            "FA\n--\n 1\n 2\n\n(2 rows affected)\n"
            "Msg 515, Level 16, State 1, Line 4\n"
            "Cannot insert the value NULL into column 'FA', table 'tempdb.dbo.#O'; column does not allow nulls. "
            "INSERT fails.\n"
            "(2 rows affected)\n"
            "FN\n--\n 2\n\n(1 row affected)\n");
}

TEST_F(SqlCommand, FailedBatchesSetTheExitCodeAndAbortOnErrorStops) {
  const fs::path script = WriteFile("e.sql", "SELECT 1 AS FOne\nGO\nSELECT * FROM t_Nope\nGO\nSELECT 2 AS FTwo\n");
  CliResult result = Run({"sql", "--format", "csv", script.string()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "FOne\r\n1\r\nFTwo\r\n2\r\n");
  EXPECT_EQ(result.err, "Msg 208, Level 16, State 1, Line 1\nInvalid object name 't_Nope'.\n");
  result = Run({"sql", "-b", "--format", "csv", script.string()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "FOne\r\n1\r\n");
}

TEST_F(SqlCommand, GoWithACountRepeatsTheBatch) {
  const std::string script =
      "CREATE TABLE #G (FN INT)\nGO\nINSERT INTO #G VALUES (1)\nGO 3\nSELECT COUNT(*) AS FN FROM #G\n";
  const CliResult result = Run({"sql", WriteFile("g.sql", script).string()});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out,
            "Beginning execution loop\n(1 row affected)\n(1 row affected)\n(1 row affected)\n"
            "Batch execution completed 3 times.\n"
            "FN\n--\n 3\n\n(1 row affected)\n");
}

TEST_F(SqlCommand, AMalformedGoDropsItsBatchAndFails) {
  for (const std::string go : {"GO 0", "GO -1", "go 2x", "GO 99999999999"}) {
    const std::string script = "SELECT 1 AS FOne\n" + go + "\nSELECT 2 AS FTwo\n";
    const CliResult result = Run({"sql", "--format", "csv", WriteFile("g.sql", script).string()});
    EXPECT_EQ(result.exit_code, 1) << go;
    EXPECT_EQ(result.out, "FTwo\r\n2\r\n") << go;
    EXPECT_EQ(result.err, "Error: Incorrect syntax was encountered while parsing GO: '" + go +
                              "' (the count must be a whole number from 1 to 2147483647).\n");
  }
}

TEST_F(SqlCommand, GoQuitAndResetCountOnlyOutsideStringsAndComments) {
  const std::string script =
      "SELECT 'a\nGO\nquit' AS FText /* GO\n:reset\n*/\n"
      "GO\n"
      "SELECT 1 / 0\n"
      ":RESET\n"
      "SELECT 2 AS FTwo\n"
      "  Exit  \n"
      "SELECT 3 AS FThree\n";
  const CliResult result = Run({"sql", "--format", "csv", WriteFile("q.sql", script).string()});
  // RESET dropped the division; EXIT left without running the pending batch.
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "FText\r\n\"a\nGO\nquit\"\r\n");
}

TEST_F(SqlCommand, QueryInputFilesAndOutputFile) {
  CliResult result = Run({"sql", "-Q", "SELECT 1 AS FOne", "--format", "csv"});
  EXPECT_EQ(result.out, "FOne\r\n1\r\n");
  // Several -i files run in order on one connection: the second sees the first's table.
  const fs::path first = WriteFile("a.sql", "CREATE TABLE #I (FN INT)\nINSERT INTO #I VALUES (5)");
  const fs::path second = WriteFile("b.sql", "SELECT FN FROM #I");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"sql", "--format", "csv", "-i", first.string(), second.string()},
        std::vector<std::string>{"sql", "--format", "csv", "-i", first.string() + "," + second.string()}}) {
    result = Run(arguments);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.out, "FN\r\n5\r\n");
  }
  const fs::path output = directory_ / "out.csv";
  result = Run({"sql", "--format", "csv", "-o", output.string(), "-Q", "SELECT 1 AS FOne\nSELECT * FROM t_Nope"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(ReadFile(output), "FOne\r\n1\r\n");
  EXPECT_EQ(result.err, "Msg 208, Level 16, State 1, Line 2\nInvalid object name 't_Nope'.\n");
}

TEST_F(SqlCommand, SeparatorTrimAndHeadersShapeTheTable) {
  const std::string query =
      "SET NOCOUNT ON CREATE TABLE #V (FN INT) INSERT INTO #V VALUES (1), (22), (3) SET NOCOUNT OFF "
      "SELECT FN, N'x' + REPLICATE(N'y', FN) AS FText FROM #V";
  EXPECT_EQ(Run({"sql", "-s", "|", "-Q", query}).out,
            "FN|FText\n--|-----------------------\n 1|xy\n22|xyyyyyyyyyyyyyyyyyyyyyy\n 3|xyyy\n\n"
            "(3 rows affected)\n");
  EXPECT_EQ(Run({"sql", "-W", "-s", ",", "-Q", query}).out,
            "FN,FText\n--,-----\n1,xy\n22,xyyyyyyyyyyyyyyyyyyyyyy\n3,xyyy\n\n(3 rows affected)\n");
  EXPECT_EQ(Run({"sql", "-W", "-h", "-1", "-Q", query}).out,
            "1 xy\n22 xyyyyyyyyyyyyyyyyyyyyyy\n3 xyyy\n\n(3 rows affected)\n");
  EXPECT_EQ(Run({"sql", "-W", "-h", "2", "-Q", query}).out,
            "FN FText\n-- -----\n1 xy\n22 xyyyyyyyyyyyyyyyyyyyyyy\nFN FText\n-- -----\n3 xyyy\n\n"
            "(3 rows affected)\n");
}

std::string Utf16(const std::string& ascii_and_bytes, bool little_endian) {
  std::string out;
  for (const char c : ascii_and_bytes) {
    out += little_endian ? std::string{c, '\0'} : std::string{'\0', c};
  }
  return out;
}

TEST_F(SqlCommand, ReadsUtf8WithAMarkAndUtf16EitherWay) {
  const std::string script = "SELECT N'ok' AS FText\r\nGO\r\n";
  // 资 is U+8D44: 44 8D in little endian, 8D 44 in big endian.
  const std::string han_le = std::string("\x44\x8D", 2);
  const std::string han_be = std::string("\x8D\x44", 2);
  const std::vector<std::pair<std::string, std::string>> files = {
      {"utf8-mark.sql", "\xEF\xBB\xBF" + script},
      {"utf16le-mark.sql", "\xFF\xFE" + Utf16(script, true)},
      {"utf16be-mark.sql", "\xFE\xFF" + Utf16(script, false)},
      {"utf16le.sql", Utf16(script, true)},
  };
  for (const auto& [name, bytes] : files) {
    const CliResult result = Run({"sql", "--format", "csv", "-i", WriteFile(name, bytes).string()});
    EXPECT_EQ(result.exit_code, 0) << name << ": " << result.err;
    EXPECT_EQ(result.out, "FText\r\nok\r\n") << name;
  }
  const std::string chinese = "\xFF\xFE" + Utf16("SELECT N'", true) + han_le + Utf16("' AS F", true);
  EXPECT_EQ(Run({"sql", "--format", "csv", WriteFile("zh.sql", chinese).string()}).out, "F\r\n资\r\n");
  const std::string chinese_be = "\xFE\xFF" + Utf16("SELECT N'", false) + han_be + Utf16("' AS F", false);
  EXPECT_EQ(Run({"sql", "--format", "csv", WriteFile("zh-be.sql", chinese_be).string()}).out, "F\r\n资\r\n");
}

TEST_F(SqlCommand, BrokenUtf16IsAClearErrorNotGarbage) {
  const fs::path odd = WriteFile("odd.sql", "\xFF\xFE" + Utf16("SELECT 1", true) + "X");
  CliResult result = Run({"sql", odd.string()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "'" + odd.string() + "' is not valid UTF-16: it has an odd number of bytes.\n");
  const fs::path lone = WriteFile("lone.sql", "\xFF\xFE" + Utf16("SELECT 1", true) + std::string("\x00\xD8", 2));
  result = Run({"sql", lone.string()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "'" + lone.string() + "' is not valid UTF-16: it holds a lone surrogate.\n");
  EXPECT_EQ(result.out, "");
}

TEST_F(SqlCommand, ContradictoryOrMissingSourcesAreRefused) {
  const fs::path script = WriteFile("s.sql", "SELECT 1");
  CliResult result = Run({"sql", "-Q", "SELECT 1", "-i", script.string()});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "-Q and -i cannot be used together.\n");
  result = Run({"sql", script.string(), "-i", script.string()});
  EXPECT_EQ(result.exit_code, 2);
  result = Run({"sql", "-i", (directory_ / "missing.sql").string()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "Cannot open file '" + (directory_ / "missing.sql").string() + "'.\n");
  result = Run({"sql", directory_.string()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "'" + directory_.string() + "' is a folder, not a file.\n");
  result = Run({"sql", "--format", "xml", script.string()});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_NE(result.err.find("--format: xml not in {table,csv,tsv,json,jsonl}"), std::string::npos) << result.err;
}

TEST_F(SqlCommand, LoadFilesRunFirstOnANamedDatabase) {
  const fs::path load = WriteFile("load.sql", "CREATE TABLE t_L (FID INT)\nGO\nINSERT INTO t_L VALUES (4)\n");
  CliResult result = Run({"sql", "--format", "csv", "--load", load.string(), "-Q", "SELECT FID FROM t_L"});
  EXPECT_EQ(result.out, "FID\r\n4\r\n");
  result = Run({"sql", "--format", "csv", "-d", "demo-tiny", "-Q", "SELECT COUNT(*) AS FLines FROM ICPurChaseEntry"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "FLines\r\n8\r\n");  // seven asset invoice lines and one of another subsystem
  result = Run({"sql", "--load", WriteFile("bad.sql", "SELECT * FROM t_Nope").string(), "-Q", "SELECT 1"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("failed."), std::string::npos) << result.err;
}

}  // namespace
}  // namespace orv::cli::test
