// `orvalent report` run as a process on the tiny demo database, whose rows
// are worked out by hand in demo/tiny-expected.md: condition checking and
// its messages, the ways to pass conditions, the report list, the readable
// view (captions, precision, hidden columns, marked totals) and the raw
// formats, the error report and the exit codes.
#include <nlohmann/json.hpp>

#include "tests/cli/cli_fixture.h"

namespace orv::cli::test {
namespace {

using ReportCommand = CliTest;

const std::string kTinyEn = "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};Language=en;";
const std::string kTinyCht = "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};Language=cht;";

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST_F(ReportCommand, AnUnknownKeyIsAnErrorNamingTheClosestKey) {
  CliResult result = Run({"report", "2010001", "--session", kTinyEn, "--condition", "FBeginData=2024-03-01"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "error: 'FBeginData' is not a condition of report 2010001; did you mean 'FBeginDate'?\n"
            "orvalent report 2010001 --list-conditions lists the keys; --allow-unknown passes keys the report does "
            "not read on.\n");
  // The dictionary compares keys exactly, so a key in the wrong case would be ignored.
  result = Run({"report", "2010001", "--session", kTinyEn, "--condition", "fbegindate=2024-03-01"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
            "error: 'fbegindate' is not a condition of report 2010001; did you mean 'FBeginDate'? (keys are "
            "case-sensitive)");
  // 2010005 has no audit key: its closest key is the line status.
  result = Run({"report", "2010005", "--session", kTinyEn, "--condition", "FBillStatus=2"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_NE(result.err.find("did you mean 'FBillRowStatus'?"), std::string::npos) << result.err;
}

TEST_F(ReportCommand, AllowUnknownPassesTheKeyOnWithAWarning) {
  const CliResult result = Run({"report", "2010001", "--session", kTinyEn, "--format", "csv", "--allow-unknown",
                                "--condition", "FBeginData=2030-01-01"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err,
            "warning: 'FBeginData' is not a condition of report 2010001; did you mean 'FBeginDate'? It is passed "
            "on as given.\n");
  // The report ignores the key: all seven lines and the total row (condition set 1).
  EXPECT_EQ(Lines(result.out), 1u + 7u + 1u);
}

TEST_F(ReportCommand, AValueIgnoredBecauseItsSwitchIsOffIsNamed) {
  const std::vector<std::string> neutral = {"--condition", "FBillRowStatus=4",    "--condition", "FDeliveryStatus=2",
                                            "--condition", "FAcceptanceStatus=2", "--condition", "FInvoiceStatus=2",
                                            "--condition", "FSettleStatus=2"};
  std::vector<std::string> arguments = {"report", "2010005", "--session", kTinyEn, "--format", "csv",
                                        "--condition", "FBillStartDate=2024-02-01"};
  arguments.insert(arguments.end(), neutral.begin(), neutral.end());
  CliResult result = Run(arguments);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err,
            "warning: FBillStartDate=2024-02-01 is ignored: the report reads it only when FChkBillDate>0\n");
  EXPECT_EQ(Lines(result.out), 1u + 5u + 1u);  // all five audited order lines and the total
  // Switched on, the date filters: orders 2002 and 2003 (O3, O4, O5) are dated after February 1.
  arguments.insert(arguments.end(), {"--condition", "FChkBillDate=1"});
  result = Run(arguments);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(Lines(result.out), 1u + 3u + 1u);
}

TEST_F(ReportCommand, ValuesOfTheWrongTypeAreErrorsAndChoicesThatSelectNothingWarnings) {
  CliResult result = Run({"report", "2010001", "--session", kTinyEn, "--condition", "FBeginDate=2024-13-01"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
            "error: condition FBeginDate='2024-13-01' is not a date (write yyyy-mm-dd)");
  result = Run({"report", "2010001", "--session", kTinyEn, "--condition", "FBillStatus=audited"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err.substr(0, result.err.find('\n')), "error: condition FBillStatus='audited' is not a number");
  result = Run({"report", "2010001", "--session", kTinyEn, "--format", "csv", "--condition", "FBillStatus=7"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err,
            "warning: FBillStatus=7 is none of the choices 0 (audited invoices only), 1 (unaudited invoices only), "
            "2 (all invoices), so it selects all invoices\n");
  EXPECT_EQ(Lines(result.out), 1u + 7u + 1u);
  result = Run({"report", "2010001", "--condition", "NoEquals"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "Condition 'NoEquals' is not KEY=VALUE.\n");
}

TEST_F(ReportCommand, ConditionsComeFromAFileStandardInputOrInlineJson) {
  // Set 3 of the tiny data: audited invoices are R1 R2 R4 R5 R6.
  const std::string json = R"({"FBillStatus": 0, "FBeginDate": "2024-01-01"})";
  const std::vector<std::string> base = {"report", "2010001", "--session", kTinyEn, "--format", "csv", "--conditions"};
  for (const auto& [source, input] : std::vector<std::pair<std::string, std::string>>{
           {WriteFile("c.json", json).string(), ""}, {"-", json}, {json, ""}}) {
    std::vector<std::string> arguments = base;
    arguments.push_back(source);
    const CliResult result = Run(arguments, input);
    EXPECT_EQ(result.exit_code, 0) << source << ": " << result.err;
    EXPECT_EQ(Lines(result.out), 1u + 5u + 1u) << source;
  }
  // A check box written as true counts as checked.
  const CliResult checked =
      Run({"report", "2010005", "--session", kTinyEn, "--format", "csv", "--conditions",
           R"({"FChkBillDate": true, "FBillStartDate": "2024-02-01", "FBillRowStatus": 4, "FDeliveryStatus": 2,
               "FAcceptanceStatus": 2, "FInvoiceStatus": 2, "FSettleStatus": 2})"});
  EXPECT_EQ(checked.err, "");
  EXPECT_EQ(Lines(checked.out), 1u + 3u + 1u);
}

TEST_F(ReportCommand, UnreadableConditionsAreRefused) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"[1, 2]", "The conditions must be one JSON object.\n"},
      {R"({"FBillStatus": [1]})", "Condition 'FBillStatus' must be a text, a number, a boolean or null.\n"},
      {(directory_ / "missing.json").string(), "Cannot open file '" + (directory_ / "missing.json").string() + "'.\n"},
  };
  for (const auto& [source, message] : cases) {
    const CliResult result = Run({"report", "2010001", "--conditions", source});
    EXPECT_EQ(result.exit_code, 2) << source;
    EXPECT_EQ(result.err, message);
  }
  const CliResult broken = Run({"report", "2010001", "--conditions", "{\"FBillStatus\": "});
  EXPECT_EQ(broken.exit_code, 2);
  EXPECT_EQ(broken.err.rfind("The conditions are not valid JSON: ", 0), 0u) << broken.err;
}

TEST_F(ReportCommand, AnUnknownReportListsTheReports) {
  const std::string list =
      "Reports:\n"
      "  2010001  Asset Purchase Invoices\n"
      "  2010002  Asset Purchase Expense Invoices\n"
      "  2010005  Asset Procurement Order Execution\n"
      "  2010006  Asset Requisitions\n"
      "  2010007  Asset Application Tracking\n";
  CliResult result = Run({"report", "2010004"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "'2010004' is no report.\n" + list);
  result = Run({"report", "CDataRead"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "'CDataRead' is not a report class.\n" + list);
  // Numbers, class names and ProgIDs in any case name the same report.
  for (const std::string name : {"crpt2010001", "ORVALENT.CRPT2010001"}) {
    EXPECT_EQ(Run({"report", name, "--session", kTinyEn, "--format", "csv"}).exit_code, 0) << name;
  }
}

TEST_F(ReportCommand, ListConditionsShowsTypesDefaultsSwitchesAndChoices) {
  CliResult result = Run({"report", "2010005", "--list-conditions", "--format", "csv"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("Key,Type,Default,Depends on,Meaning\r\n"
                             "FChkBillDate,flag,(empty),\"\",\"1 filters by order date; switches FBillStartDate, "
                             "FBillEndDate\"\r\n"
                             "FBillStartDate,date,(empty),FChkBillDate>0,orders dated on or after this day\r\n",
                             0),
            0u)
      << result.out;
  EXPECT_NE(result.out.find("FBillRowStatus,choice,(empty),\"\",\"close state of the order line; absent or empty "
                            "reads as 0 [0 = closed lines; 1 = lines closed, not by hand; 2 = lines closed by hand; "
                            "3 = open lines; 4 = all lines; other = all lines]\"\r\n"),
            std::string::npos)
      << result.out;
  // Every report has its keys.
  result = Run({"report", "2010007", "--list-conditions"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("Report 2010007 (Orvalent.CRPT2010007): Asset Application Tracking\n\n", 0), 0u);
  EXPECT_NE(result.out.find("FApplicationSource"), std::string::npos);
  EXPECT_NE(result.out.find("FAppSource<>0"), std::string::npos);
  result = Run({"report", "2010002", "--list-conditions", "--format", "json"});
  const auto document = nlohmann::json::parse(result.out);
  const auto& rows = document["results"][0]["rows"];
  const auto level_from = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row[0] == "FLvlFrom"; });
  ASSERT_NE(level_from, rows.end());
  EXPECT_EQ((*level_from)[3], "FChkGroupBy=1 and FLvlTo<>0");
}

TEST_F(ReportCommand, CsvForPeopleRoundsByTheRowsPrecisionAndTranslatesCaptions) {
  const CliResult result = Run({"report", "2010001", "--session", kTinyEn, "--format", "csv", "--captions",
                                "--precision", "--hide-internal"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  std::vector<std::string> lines;
  for (size_t start = 0; start < result.out.size();) {
    const size_t end = result.out.find("\r\n", start);
    lines.push_back(result.out.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0],
            "Date,Financial Date,Invoice Type,Invoice Number,Supplier Number,Supplier Name,Item Number,Item Name,"
            "Model,Auxiliary Property,Currency,Unit,Quantity,Price,Base Unit,Base Unit Quantity,Base Unit Price,"
            "Common Unit,Common Unit Quantity,Common Unit Price,Amount,Tax Rate,Tax Amount,Total Including Tax,"
            "Total Including Tax (Local Currency),Checker,Note");
  // R2: quantity decimals 2, price decimals 4, currency decimals 2; the base
  // price 1000/12 = 83.3333333333 keeps four places; the tax rate has no
  // precision column and stays as it is.
  EXPECT_EQ(lines[2],
            "2024-01-10,2024-01-12,Asset Purchase Ordinary Invoice,ZPOFP000001,01.001,上海精工有限公司,01.02,打印机,"
            "LJ-2000,\"\",人民币,箱,1.00,1000.0000,台,12.00,83.3333,箱,1.00,1000.0000,1130.00,0.13,130.00,1000.00,"
            "1000.00,管理员,首批");
  // R4: its item has no precision (NULL), so 3 and 800 stay; its currency has 2.
  EXPECT_EQ(lines[4],
            "2024-03-20,2024-03-22,Asset Purchase VAT Invoice,ZPOFP000003,02.001  ,北京远大贸易,02.001,办公桌,1.6m,"
            "\"\",欧元,\"\",3,800,张,3,,\"\",3,800,2400.00,0.13,312.00,2712.00,21153.60,Morgan,it's ok");
  // The total row takes the largest currency precision, KWD's 3.
  EXPECT_EQ(lines[8],
            ",,\"\",\"\",\"\",\"\",Total:,\"\",\"\",\"\",\"\",\"\",,,\"\",,,\"\",,,19085.000,,1814.150,18520.150,"
            "70291.100,\"\",\"\"");
}

TEST_F(ReportCommand, TheTableMarksTotalsAndHidesInternalColumns) {
  const CliResult result = Run({"report", "2010005", "--session", kTinyCht, "--condition", "FBillRowStatus=4",
                                "--condition", "FDeliveryStatus=2", "--condition", "FAcceptanceStatus=2",
                                "--condition", "FInvoiceStatus=2", "--condition", "FSettleStatus=2"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const std::string header = result.out.substr(0, result.out.find('\n'));
  EXPECT_EQ(header.rfind("     供應商代碼 供應商名稱", 0), 0u) << header;
  EXPECT_EQ(header.find("FSumSort"), std::string::npos);
  EXPECT_EQ(header.find("數量精度"), std::string::npos);
  // Detail lines start blank under the mark column; the total row says so.
  const size_t total = result.out.find("\n合計 合計:");
  EXPECT_NE(total, std::string::npos) << result.out;
  EXPECT_EQ(result.out.substr(result.out.size() - 19), "\n(6 rows affected)\n");
  // Raw output keeps the names and the full values.
  const CliResult raw = Run({"report", "2010005", "--session", kTinyCht, "--format", "json", "--condition",
                             "FBillRowStatus=4", "--condition", "FSettleStatus=2"});
  const auto document = nlohmann::json::parse(raw.out);
  EXPECT_EQ(document["results"][0]["columns"][0]["name"], "FSupplyNumber");
  EXPECT_EQ(document["results"][0]["columns"][13]["type"], "decimal(23,10)");
  EXPECT_EQ(document["results"][0]["columns"].back()["name"], "FPriceDecimal");
}

TEST_F(ReportCommand, AGroupedReportRunsWithSubtotalsAndLevelCaptions) {
  // Expense invoices by supplier: 6 lines, 4 supplier subtotals and the total.
  CliResult result = Run({"report", "2010002", "--format", "csv", "--condition", "FChkGroupBy=1", "--condition",
                          "FGroupBySupply=0", "--session", kTinyEn});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("FSupplyID,FSupplyNumber,FSupplyName,FFeeID,", 0), 0u) << result.out;
  EXPECT_NE(result.out.find(",(Total),"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find(",Acme 直供(Subtotal),"), std::string::npos) << result.out;
  EXPECT_EQ(Lines(result.out), 1u + 6u + 4u + 1u);
  // For people: the level columns are captioned with their level, and each
  // summary row is marked by its kind.
  result = Run({"report", "2010002", "--condition", "FChkGroupBy=1", "--condition", "FGroupBySupply=0", "--condition",
                "FLvlFrom=1", "--condition", "FLvlTo=2", "--session", kTinyEn});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("         Level 1 Number Level 1 Name         Level 2 Number Level 2 Name ", 0), 0u)
      << result.out;
  EXPECT_NE(result.out.find("\nTotal    (Total) "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\nSubtotal 01             华东供应商(Subtotal) "), std::string::npos) << result.out;
  // The grouping keys count only in grouped mode.
  result = Run({"report", "2010002", "--format", "csv", "--condition", "FGroupBySupply=0", "--session", kTinyEn});
  EXPECT_EQ(result.err, "warning: FGroupBySupply=0 is ignored: the report reads it only when FChkGroupBy=1\n");
}

TEST_F(ReportCommand, TheTypicalRequisitionRequestRunsFromTheShell) {
  // Requisitions by department with the levels 1 to 2: 8 lines, 3 department
  // subtotals, 3 level-2 and 2 level-1 subtotals, the total.
  const CliResult result = Run({"report", "2010006", "--format", "csv", "--condition", "FGroupByUseDept=0",
                                "--condition", "FChkLevel=1", "--condition", "FLvlFrom=1", "--condition", "FLvlTo=2",
                                "--session",
                                "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};UserName=demo;"
                                "Language=chs;"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("FName1,FName2,FUseDeptID,FUseDeptNumber,FUseDeptName,FSupplyID,", 0), 0u) << result.out;
  EXPECT_NE(result.out.find("(合计),"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("总公司(小计),"), std::string::npos) << result.out;
  EXPECT_EQ(Lines(result.out), 1u + 8u + 3u + 3u + 2u + 1u) << result.out;
}

TEST_F(ReportCommand, ApplicationTrackingRunsFromTheShellInEitherView) {
  const std::string session =
      "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};UserName=demo;Language=chs;";
  // Application view by item: the four lines of which something was executed,
  // three item subtotals (303, 304, 305), the total.
  CliResult result =
      Run({"report", "2010007", "--format", "csv", "--condition", "FGroupByItem=0", "--session", session});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.rfind("FItemID,FItemNumber,FItemName,FSupplyID,", 0), 0u) << result.out;
  EXPECT_NE(result.out.find(",打印机(小计),"), std::string::npos) << result.out;
  EXPECT_EQ(Lines(result.out), 1u + 4u + 3u + 1u) << result.out;
  // Source view: the five application lines and the two requisition lines
  // without an application, labelled with where they came from.
  result = Run({"report", "2010007", "--format", "csv", "--condition", "FAppSource=0", "--condition",
                "FApplicationSource=1", "--condition", "FGroupByItem=0", "--session", session});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_NE(result.out.find(",资产采购,"), std::string::npos) << result.out;
  // Items 303, 304, 305, 307, 308, 309: six subtotals.
  EXPECT_EQ(Lines(result.out), 1u + 7u + 6u + 1u) << result.out;
  // Both views at once: refused, naming the keys.
  result = Run({"report", "2010007", "--condition", "FApplicationSource=1", "--condition", "FGroupByItem=0",
                "--session", session});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("FAppSource and FApplicationSource are both set"), std::string::npos) << result.err;
}

TEST_F(ReportCommand, AReportErrorShowsNumberSourceAndDescription) {
  const CliResult result =
      Run({"report", "2010001", "--session",
           "ConnectString={Provider=Orvalent.Embedded;Data Source=:memory:};Language=chs;"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("Number: 0x80040E37 (-2147217865)\nSource: Orvalent.CRPT2010001.GetRptData\n"
                             "Description: Invalid object name '",
                             0),
            0u)
      << result.err;
}

TEST_F(ReportCommand, ShowSqlTracesEveryBatch) {
  const CliResult result =
      Run({"report", "Orvalent.CRPT2010001", "--show-sql", "--format", "csv", "--session", kTinyEn});
  EXPECT_EQ(result.err.rfind("SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED\nGO\n", 0), 0u) << result.err;
  EXPECT_NE(result.err.find("Create Table #Rpt2010001"), std::string::npos);
}

// Each batch's time follows its GO; the last one once the report has returned.
TEST_F(ReportCommand, TimingFollowsEveryBatch) {
  const CliResult result =
      Run({"report", "Orvalent.CRPT2010001", "--show-sql", "--timing", "--format", "csv", "--session", kTinyEn});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err.rfind("SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED\nGO\n-- batch 1: ", 0), 0u) << result.err;
  size_t batches = 0;
  size_t times = 0;
  for (size_t at = result.err.find("\nGO\n"); at != std::string::npos; at = result.err.find("\nGO\n", at + 1)) {
    ++batches;
    const std::string time = "-- batch " + std::to_string(batches) + ": ";
    times += result.err.compare(at + 4, time.size(), time) == 0 ? 1 : 0;
  }
  EXPECT_GT(batches, 1u);
  EXPECT_EQ(times, batches) << result.err;
  EXPECT_EQ(result.err.substr(result.err.size() - 5), " ms)\n");
  EXPECT_NE(result.err.find(" ms (CPU "), std::string::npos) << result.err;
}

}  // namespace
}  // namespace orv::cli::test
