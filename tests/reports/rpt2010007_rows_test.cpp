// Report 2010007 run end to end on the tiny demo database, worked out by hand
// (demo/tiny-expected.md): the application view and the source view without
// a group field (every line and one total), under filter conditions on either
// document side, grouped by item, by supplier, by department and by applicant
// with the levels 1 to 2, by supplier then applicant as summary rows only;
// texts in another language; a session without a language; and
// what the caller gets for choices the report cannot carry out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/automation_error.h"
#include "tests/reports/rpt2010007_lines.h"
#include "tests/toolkit/condition_dict.h"

namespace orv::test::rpt2010007 {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

ResultTable Report(const ConditionDictionary& dct, std::string_view language = "chs") {
  return ReadTable(*RunReport(kProgId, TinySession(language), &dct));
}

// No group field, FChkLevel 1: the summary of FRptID alone, every line and an
// unlabelled total.
ConditionDictionary Ungrouped(std::initializer_list<std::pair<const char*, Variant>> conditions = {}) {
  ConditionDictionary dct = Dict(conditions);
  dct.Set("FChkLevel", 1);
  return dct;
}

ConditionDictionary SourceView(std::initializer_list<std::pair<const char*, Variant>> conditions = {}) {
  ConditionDictionary dct = Ungrouped(conditions);
  dct.Set("FAppSource", 0);
  dct.Set("FApplicationSource", 1);
  return dct;
}

// Line sums, application view (applied / approved / aux / requisitioned /
// to fixed assets qty, amount / construction qty, amount / low-value qty,
// amount / not executed / planned stock / planned use / stocked; precisions):
// A1 5/5/0/4/3/16950/0/0/0/0/0/0/5/0; 0,2    A2 2/2/1/1/0/0/1/1130/0/0/1/0/2/0; 2,4
// A3 4/3/2/2/0/0/0/0/1/4520/1/0/3/0; 0,2     A4 10/10/0/0/0/0/0/0/0/0/10/0/10/0; 3,3
// A5 1/1/1/1/1/1130/0/0/0/0/0/0/1/0; 2,4
const Sums kA1 = ApplicationSums({"5", "5", "0", "4", "3", "16950", "0", "0", "0", "0", "0", "0", "5", "0", "0", "2"});
const Sums kA3 = ApplicationSums({"4", "3", "2", "2", "0", "0", "0", "0", "1", "4520", "1", "0", "3", "0", "0", "2"});
const Sums kA5 = ApplicationSums({"1", "1", "1", "1", "1", "1130", "0", "0", "0", "0", "0", "0", "1", "0", "2", "4"});
// A1 + A2 + A3 + A5, the lines of which something was executed (A4 was not).
const Sums kExecuted =
    ApplicationSums({"12", "11", "4", "8", "4", "18080", "1", "1130", "1", "4520", "2", "0", "11", "0", "2", "4"});

TEST(Rpt2010007Rows, ApplicationViewEveryLineWithWhatWasRequisitioned) {
  const ResultTable table = Report(Ungrouped());
  EXPECT_TRUE(ReportMatches(table, kKey, Lines(ViewOf::Application, {A1, A2, A3, A5}), SummaryRow(table, "101", kExecuted)));
  // FShowUnDo other than 0 keeps A4 too: 12 + 10, 11 + 10, not executed 2 + 10, planned use 11 + 10; precisions 3, 4.
  const ResultTable all = Report(Ungrouped({{"FShowUnDo", 1}}));
  EXPECT_TRUE(ReportMatches(
      all, kKey, Lines(ViewOf::Application, {A1, A2, A3, A4, A5}),
      SummaryRow(all, "101",
                 ApplicationSums({"22", "21", "4", "8", "4", "18080", "1", "1130", "1", "4520", "12", "0", "21", "0",
                                  "3", "4"}))));
}

struct FilterCase {
  const char* what;
  ConditionDictionary dct;
  std::vector<Line> lines;
  Sums total;
};

TEST(Rpt2010007Rows, ApplicationFilterConditionsLeaveTheirLines) {
  // A3 + A5: 4+1, 3+1, 2+1, 2+1, 0+1, 1130, 0, 0, 1, 4520, 1+0, 0, 3+1, 0; precisions 2, 4.
  const Sums a3_a5 =
      ApplicationSums({"5", "4", "3", "3", "1", "1130", "0", "0", "1", "4520", "1", "0", "4", "0", "2", "4"});
  const std::vector<FilterCase> cases = {
      // 3001 and 3004 are fully audited: A1 + A2 + A5: 5+2+1, 5+2+1, 0+1+1, 4+1+1, 3+0+1, 16950+1130, 1, 1130,
      // 0, 0, 0+1+0, 0, 5+2+1, 0.
      {"audited", Ungrouped({{"FBillStatus", 1}}), {A1, A2, A5},
       ApplicationSums({"8", "8", "2", "6", "4", "18080", "1", "1130", "0", "0", "1", "0", "8", "0", "2", "4"})},
      {"in the audit", Ungrouped({{"FBillStatus", "0"}}), {A3}, kA3},
      {"closed, also when nothing was executed", Ungrouped({{"FCloseStatus", 1}, {"FShowUnDo", 1}}), {A4},
       ApplicationSums({"10", "10", "0", "0", "0", "0", "0", "0", "0", "0", "10", "0", "10", "0", "3", "3"})},
      // Applying department 02 (105): 3002 and 3004.
      {"applying departments from 02", Ungrouped({{"FAppDeptFrom", "02"}}), {A3, A5}, a3_a5},
      // 2024-01-15 and 2024-02-25, both ends included; 3003 (02-01) is not executed.
      {"dates", Ungrouped({{"FStartDate", "2024-01-15"}, {"FEndDate", "2024-02-25"}}), {A3, A5}, a3_a5},
      // Using departments up to 01.01: 01.01 itself only (01.02.001 and 02 are above).
      {"using departments", Ungrouped({{"FUseDeptTo", "01.01"}}), {A5}, kA5},
      // Requisitions are not filtered by state inside the chains: A1 keeps 6004/1.
      {"requisition conditions do not apply", Ungrouped({{"FItemTo", "01.01.001"}}), {A1}, kA1},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.what);
    const ResultTable table = Report(c.dct);
    EXPECT_TRUE(ReportMatches(table, kKey, Lines(ViewOf::Application, c.lines), SummaryRow(table, "101", c.total)));
  }
}

// Line sums, source view (approved / aux / requisitioned / fixed assets qty,
// amount / construction qty, amount / low-value qty, amount / not executed /
// planned stock / planned use / stocked; precisions): A1 to A5 as above;
// R1 0/0/4/0/0/0/0/0/0/0/0/0/0; 1,2   R2 0/2/2/0/0/1/800/0/0/0/0/0/0; 2,2
// R3 0/0/1/0/0/0/0/0/0/0/0/0/0; 3,3
TEST(Rpt2010007Rows, SourceViewAddsTheRequisitionsWithoutAnApplication) {
  // 6001, 6002, 6003 and 6004 each have a line that reaches an application:
  // none of their lines is listed. 6005 and 6006 are.
  const ResultTable table = Report(SourceView());
  // 5+2+3+10+1, 0+1+2+0+1+0+2, 4+1+2+0+1+4+2, 3+1, 16950+1130, 1+1, 1130+800, 1, 4520, 1+1+10,
  // 0, 5+2+3+10+1, 0; precisions 3, 4.
  EXPECT_TRUE(ReportMatches(
      table, kKey, Lines(ViewOf::Source, {A1, A2, A3, A4, A5, R1, R2}),
      SummaryRow(table, "101",
                 SourceSums({"21", "6", "14", "4", "18080", "2", "1930", "1", "4520", "12", "0", "21", "0", "3", "4"}))));
}

TEST(Rpt2010007Rows, SourceFilterConditionsReachBothSides) {
  const std::vector<FilterCase> cases = {
      // Items from 02: A4 of the applications; 6005/1, 6006/1 and 6003/2. 6003/1 (01.01.002) fails
      // the filter, so its bill no longer reaches an application and 6003/2 is listed.
      // 10, 2, 4+2+1, 0, 0, 1, 800, 0, 0, 10, 0, 10, 0; precisions 3, 3.
      {"items from 02", SourceView({{"FItemFrom", "02"}}), {A4, R1, R2, R3},
       SourceSums({"10", "2", "7", "0", "0", "1", "800", "0", "0", "10", "0", "10", "0", "3", "3"})},
      // In the audit: 3002 (A3); requisitions 6002 (reaches 3001/2, hidden) and 6005 (R1).
      // 3, 2, 2+4, 0, 0, 0, 0, 1, 4520, 1, 0, 3, 0; precisions 1, 2. A3 keeps 6003/1, which is audited.
      {"in the audit", SourceView({{"FBillStatus", 0}}), {A3, R1},
       SourceSums({"3", "2", "6", "0", "0", "0", "0", "1", "4520", "1", "0", "3", "0", "1", "2"})},
      // Requisitions dated 2024-03-18 on: 6005 and 6006; no application is that late.
      {"dates", SourceView({{"FStartDate", "2024-03-18"}}), {R1, R2},
       SourceSums({"0", "2", "6", "0", "0", "1", "800", "0", "0", "0", "0", "0", "0", "2", "2"})},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.what);
    const ResultTable table = Report(c.dct);
    EXPECT_TRUE(ReportMatches(table, kKey, Lines(ViewOf::Source, c.lines), SummaryRow(table, "101", c.total)));
  }
}

void ExpectGrouped(const ResultTable& table, const std::vector<RowValues>& details,
                   const std::vector<std::string>& summary_key, const std::vector<RowValues>& summaries) {
  EXPECT_EQ(table.rows.size(), details.size() + summaries.size());
  EXPECT_TRUE(DetailRowsMatch(table, kKey, details));
  EXPECT_TRUE(SummaryRowsMatch(table, summary_key, summaries));
}

TEST(Rpt2010007Rows, ApplicationViewByItem) {
  const ResultTable table = Report(Dict({{"FGroupByItem", "0"}}));
  EXPECT_EQ(table.columns.front(), "FItemID");
  auto item = [&](const char* id, const char* number, const char* label, const Sums& sums) {
    return SummaryRow(table, "102", sums, {{"FItemID", id}, {"FItemNumber", number}, {"FItemName", label}});
  };
  // Item 305: A2 + A5: 2+1, 2+1, 1+1, 1+1, 0+1, 1130, 1, 1130, 0, 0, 1, 0, 2+1, 0.
  const Sums item305 =
      ApplicationSums({"3", "3", "2", "2", "1", "1130", "1", "1130", "0", "0", "1", "0", "3", "0", "2", "4"});
  ExpectGrouped(table, Lines(ViewOf::Application, {A1, A2, A3, A5}), {"FSumSort", "FItemID"},
                {item("303", "01.01.001", "笔记本电脑(小计)", kA1), item("304", "01.01.002", "台式机(小计)", kA3),
                 item("305", "01.02", "打印机(小计)", item305),
                 SummaryRow(table, "101", kExecuted, {{"FItemName", "(合计)"}})});
}

TEST(Rpt2010007Rows, ApplicationViewByDepartmentWithLevelsOneToTwo) {
  // Using departments 104 (01.02.001: 总公司 / 工程部) for A1 and A2, 105 (02: Sales Dept, no
  // second level) for A3, 102 (01.01: 总公司 / 行政部) for A5.
  const ResultTable table =
      Report(Dict({{"FGroupByUseDept", "0"}, {"FChkLevel", 1}, {"FLvlFrom", 1}, {"FLvlTo", 2}}));
  ASSERT_GE(table.columns.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(table.columns.begin(), table.columns.begin() + 3),
            (std::vector<std::string>{"FName1", "FName2", "FUseDeptID"}));
  std::vector<RowValues> details = Lines(ViewOf::Application, {A1, A2, A3, A5});
  const std::vector<std::pair<std::string, std::string>> levels = {
      {"总公司", "工程部"}, {"总公司", "工程部"}, {"Sales Dept", "NULL"}, {"总公司", "行政部"}};
  for (size_t i = 0; i < details.size(); ++i) {
    details[i]["FName1"] = levels[i].first;
    details[i]["FName2"] = levels[i].second;
  }
  // 104: A1 + A2: 5+2, 5+2, 0+1, 4+1, 3, 16950, 1, 1130, 0, 0, 0+1, 0, 5+2, 0.
  const Sums dept104 =
      ApplicationSums({"7", "7", "1", "5", "3", "16950", "1", "1130", "0", "0", "1", "0", "7", "0", "2", "4"});
  // 总公司: A1 + A2 + A5: 7+1, 7+1, 1+1, 5+1, 3+1, 16950+1130, 1, 1130, 0, 0, 1, 0, 7+1, 0.
  const Sums head_office =
      ApplicationSums({"8", "8", "2", "6", "4", "18080", "1", "1130", "0", "0", "1", "0", "8", "0", "2", "4"});
  auto dept = [&](const char* name1, const char* name2, const char* id, const char* number, const char* label,
                  const Sums& sums) {
    return SummaryRow(table, "104", sums,
                      {{"FName1", name1}, {"FName2", name2}, {"FUseDeptID", id}, {"FUseDeptNumber", number},
                       {"FUseDeptName", label}});
  };
  ExpectGrouped(table, details, {"FSumSort", "FName1", "FName2", "FUseDeptID"},
                {dept("总公司", "工程部", "104", "01.02.001", "设备科(小计)", dept104),
                 dept("Sales Dept", "NULL", "105", "02", "Sales Dept(小计)", kA3),
                 dept("总公司", "行政部", "102", "01.01", "行政部(小计)", kA5),
                 // The second level rolled up (103): its name labelled.
                 SummaryRow(table, "103", dept104, {{"FName1", "总公司"}, {"FName2", "工程部(小计)"}}),
                 SummaryRow(table, "103", kA3, {{"FName1", "Sales Dept"}, {"FName2", "(小计)"}}),
                 SummaryRow(table, "103", kA5, {{"FName1", "总公司"}, {"FName2", "行政部(小计)"}}),
                 // The first level's name rolled up (120), labelled on #TmpResult with the total.
                 SummaryRow(table, "120", head_office, {{"FName1", "总公司(小计)"}}),
                 SummaryRow(table, "120", kA3, {{"FName1", "Sales Dept(小计)"}}),
                 SummaryRow(table, "101", kExecuted, {{"FName1", "(合计)"}})});
}

TEST(Rpt2010007Rows, ApplicationViewBySupplier) {
  const ResultTable table = Report(Dict({{"FGroupBySupply", "0"}}));
  // Supplier 402: A1 + A2 + A5, as the audited lines: 8, 8, 2, 6, 4, 18080, 1, 1130, 0, 0, 1, 0, 8, 0.
  const Sums s402 =
      ApplicationSums({"8", "8", "2", "6", "4", "18080", "1", "1130", "0", "0", "1", "0", "8", "0", "2", "4"});
  ExpectGrouped(table, Lines(ViewOf::Application, {A1, A2, A3, A5}), {"FSumSort", "FSupplyID"},
                {SummaryRow(table, "102", s402,
                            {{"FSupplyID", "402"}, {"FSupplyNumber", "01.001"}, {"FSupplyName", "上海精工有限公司(小计)"}}),
                 SummaryRow(table, "102", kA3,
                            {{"FSupplyID", "405"}, {"FSupplyNumber", "02.001  "}, {"FSupplyName", "北京远大贸易(小计)"}}),
                 SummaryRow(table, "101", kExecuted, {{"FSupplyName", "(合计)"}})});
}

TEST(Rpt2010007Rows, SourceViewByApplicantWithLevelsOneToTwo) {
  // Applicants 202 (01.001: 管理人员 / 张伟) for A1 A2 A5, 203 (01.002: 管理人员 / Pat O'Brien)
  // for A4 R2, 204 (02: 李娜, no second level) for A3 R1.
  const ResultTable table = Report(Dict({{"FAppSource", 0},
                                         {"FApplicationSource", 1},
                                         {"FGroupByAppUser", "0"},
                                         {"FChkLevel", 1},
                                         {"FLvlFrom", 1},
                                         {"FLvlTo", 2}}));
  std::vector<RowValues> details = Lines(ViewOf::Source, {A1, A2, A3, A4, A5, R1, R2});
  const std::map<std::string, std::pair<std::string, std::string>> levels = {
      {"202", {"管理人员", "张伟"}}, {"203", {"管理人员", "Pat O'Brien"}}, {"204", {"李娜", "NULL"}}};
  for (RowValues& row : details) {
    row["FName1"] = levels.at(row["FAppUserID"]).first;
    row["FName2"] = levels.at(row["FAppUserID"]).second;
  }
  const auto sums = [](std::initializer_list<const char*> values) { return SourceSums(values); };
  // 202: A1 + A2 + A5: 5+2+1, 0+1+1, 4+1+1, 3+1, 16950+1130, 1, 1130, 0, 0, 1, 0, 5+2+1, 0.
  const Sums s202 = sums({"8", "2", "6", "4", "18080", "1", "1130", "0", "0", "1", "0", "8", "0", "2", "4"});
  // 203: A4 + R2: 10, 2, 2, 0, 0, 1, 800, 0, 0, 10, 0, 10, 0; precisions 3, 3.
  const Sums s203 = sums({"10", "2", "2", "0", "0", "1", "800", "0", "0", "10", "0", "10", "0", "3", "3"});
  // 204: A3 + R1: 3, 2, 2+4, 0, 0, 0, 0, 1, 4520, 1, 0, 3, 0; precisions 1, 2.
  const Sums s204 = sums({"3", "2", "6", "0", "0", "0", "0", "1", "4520", "1", "0", "3", "0", "1", "2"});
  // 管理人员: 202 + 203.
  const Sums managers = sums({"18", "4", "8", "4", "18080", "2", "1930", "0", "0", "11", "0", "18", "0", "3", "4"});
  auto user = [&](const char* id, const char* number, const char* name, const Sums& group) {
    const std::pair<std::string, std::string>& level = levels.at(id);
    return SummaryRow(table, "104", group,
                      {{"FName1", level.first}, {"FName2", level.second}, {"FAppUserID", id},
                       {"FAppUserNumber", number}, {"FAppUserName", std::string(name) + "(小计)"}});
  };
  ExpectGrouped(
      table, details, {"FSumSort", "FName1", "FName2", "FAppUserID"},
      {user("202", "01.001", "张伟", s202), user("203", "01.002", "Pat O'Brien", s203), user("204", "02", "李娜", s204),
       SummaryRow(table, "103", s202, {{"FName1", "管理人员"}, {"FName2", "张伟(小计)"}}),
       SummaryRow(table, "103", s203, {{"FName1", "管理人员"}, {"FName2", "Pat O'Brien(小计)"}}),
       SummaryRow(table, "103", s204, {{"FName1", "李娜"}, {"FName2", "(小计)"}}),
       SummaryRow(table, "120", managers, {{"FName1", "管理人员(小计)"}}),
       SummaryRow(table, "120", s204, {{"FName1", "李娜(小计)"}}),
       SummaryRow(table, "101",
                  sums({"21", "6", "14", "4", "18080", "2", "1930", "1", "4520", "12", "0", "21", "0", "3", "4"}),
                  {{"FName1", "(合计)"}})});
}

TEST(Rpt2010007Rows, SourceViewBySupplierThenApplicantSummaryRowsOnly) {
  const ResultTable table = Report(Dict({{"FAppSource", 0},
                                         {"FApplicationSource", 1},
                                         {"FGroupBySupply", "0"},
                                         {"FGroupByAppUser", "1"},
                                         {"FShowSum", 1}}));
  const auto sums = [](std::initializer_list<const char*> values) { return SourceSums(values); };
  // 402 / 202: A1 + A2 + A5: 5+2+1, 0+1+1, 4+1+1, 3+0+1, 16950+1130, 1, 1130, 0, 0, 0+1+0, 0, 5+2+1, 0.
  const Sums s402 = sums({"8", "2", "6", "4", "18080", "1", "1130", "0", "0", "1", "0", "8", "0", "2", "4"});
  const Sums s403 = sums({"10", "0", "0", "0", "0", "0", "0", "0", "0", "10", "0", "10", "0", "3", "3"});     // A4
  const Sums s405 = sums({"3", "2", "2", "0", "0", "0", "0", "1", "4520", "1", "0", "3", "0", "0", "2"});     // A3
  const Sums s406 = sums({"0", "0", "4", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "1", "2"});        // R1
  const Sums s999 = sums({"0", "2", "2", "0", "0", "1", "800", "0", "0", "0", "0", "0", "0", "2", "2"});      // R2
  struct Group {
    const char* supplier;
    const char* number;
    const char* name;  // supplier 999 is not in t_Supplier: no number, no name
    const char* user;
    const char* user_number;
    const char* user_name;
    Sums sums;
  };
  const std::vector<Group> groups = {{"402", "01.001", "上海精工有限公司", "202", "01.001", "张伟", s402},
                                     {"403", "01.002", "O'Neil Trading", "203", "01.002", "Pat O'Brien", s403},
                                     {"405", "02.001  ", "北京远大贸易", "204", "02", "李娜", s405},
                                     {"406", "00", "Acme 直供", "204", "02", "李娜", s406},
                                     {"999", "NULL", "", "203", "01.002", "Pat O'Brien", s999}};
  std::vector<RowValues> summaries;
  for (const Group& g : groups) {
    const std::string name = std::string(g.name).empty() ? "NULL" : g.name;
    summaries.push_back(SummaryRow(table, "103", g.sums,
                                   {{"FSupplyID", g.supplier}, {"FSupplyNumber", g.number}, {"FSupplyName", name},
                                    {"FAppUserID", g.user}, {"FAppUserNumber", g.user_number},
                                    {"FAppUserName", std::string(g.user_name) + "(小计)"}}));
    summaries.push_back(SummaryRow(table, "102", g.sums,
                                   {{"FSupplyID", g.supplier}, {"FSupplyNumber", g.number},
                                    {"FSupplyName", std::string(g.name) + "(小计)"}}));
  }
  summaries.push_back(SummaryRow(
      table, "101", sums({"21", "6", "14", "4", "18080", "2", "1930", "1", "4520", "12", "0", "21", "0", "3", "4"}),
      {{"FSupplyName", "(合计)"}}));
  ExpectGrouped(table, {}, {"FSumSort", "FSupplyID", "FAppUserID"}, summaries);
}

TEST(Rpt2010007Rows, TextsAreInTheSessionLanguage) {
  const ResultTable table = Report(Dict({{"FAppSource", 0}, {"FApplicationSource", 1}, {"FGroupByItem", "0"}}), "en");
  for (size_t row : table.RowsWithSumSort("0")) {
    const std::string date = table.Cell(row, "FDate");
    // 3002 (01-15) and 6005 (03-18) are in the audit; 3003 (02-01) is closed.
    EXPECT_EQ(table.Cell(row, "FMultiCheckStatus"), date == "2024-01-15" || date == "2024-03-18" ? "No" : "Yes");
    const std::string source = table.Cell(row, "FApplicationSRC");
    if (date == "2024-03-18") {
      EXPECT_EQ(source, "Asset Purchase");
    } else if (date == "2024-03-25") {
      EXPECT_EQ(source, "Warehouse");
    } else {
      EXPECT_EQ(table.Cell(row, "FCloseStatus"), date == "2024-02-01" ? "Yes" : "No");
    }
  }
  const std::vector<size_t> total = table.RowsWithSumSort("101");
  ASSERT_EQ(total.size(), 1u);
  EXPECT_EQ(table.Cell(total[0], "FItemName"), "(Total)");
}

TEST(Rpt2010007Rows, ASessionWithoutALanguageStillGetsItsLabels) {
  // The labels fall back to the language the report itself read: none, so
  // the loader's answer for an unknown language, the text as written.
  const ConditionDictionary dct = Dict({{"FGroupByItem", "0"}, {"FShowSum", 1}});
  const ResultTable table =
      ReadTable(*RunReport(kProgId, "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};", &dct));
  const std::vector<size_t> total = table.RowsWithSumSort("101");
  ASSERT_EQ(total.size(), 1u);
  EXPECT_EQ(table.Cell(total[0], "FItemName"), "(合计)");
  EXPECT_EQ(table.RowsWithSumSort("102").size(), 3u);
}

// What the caller gets: the number, the report's source and words that say
// which conditions to change; never rows.
platform::AutomationError Refusal(const ConditionDictionary* dct) {
  try {
    RunReport(kProgId, TinySession(), dct);
  } catch (const platform::AutomationError& e) {
    EXPECT_EQ(e.source(), "Orvalent.CRPT2010007.GetRptData");
    return e;
  }
  ADD_FAILURE() << "failure reported as success";
  return platform::AutomationError(0, "", "");
}

TEST(Rpt2010007Rows, ChoicesTheReportCannotCarryOutAreRefused) {
  const ConditionDictionary both = Dict({{"FGroupByItem", "0"}, {"FApplicationSource", 1}});
  const ConditionDictionary neither = Dict({{"FGroupByItem", "0"}, {"FAppSource", 0}});
  for (const ConditionDictionary* dct : {&both, &neither}) {
    const platform::AutomationError e = Refusal(dct);
    EXPECT_EQ(e.number(), platform::kErrInvalidProcedureCall);
    EXPECT_NE(e.description().find("FAppSource"), std::string::npos) << e.description();
    EXPECT_NE(e.description().find("FApplicationSource"), std::string::npos) << e.description();
  }
  const ConditionDictionary no_group = Dict({});
  EXPECT_NE(Refusal(&no_group).description().find("FGroupByUseDept"), std::string::npos);
  EXPECT_EQ(Refusal(nullptr).number(), platform::kErrObjectNotSet);
  // Fees are no column of #AA_Rpt2010007: the database rejects the rollup,
  // and the caller is advised to choose the summary mode again.
  const ConditionDictionary fee = Dict({{"FGroupByExpense", "0"}});
  const platform::AutomationError e = Refusal(&fee);
  EXPECT_EQ(e.number(), platform::kErrCommandText);
  EXPECT_EQ(e.description(), "指定了太多汇总列，请重新选择汇总方式！\r\nInvalid column name 'FFeeID'.");
}

}  // namespace
}  // namespace orv::test::rpt2010007
