// Report 2010006 run end to end on the tiny demo database without a group
// field (every line and one total), under each filter condition and in
// another language, worked out by hand (demo/tiny-expected.md); and what the
// caller gets for choices the report cannot carry out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/automation_error.h"
#include "tests/reports/rpt2010006_lines.h"
#include "tests/toolkit/condition_dict.h"

namespace orv::test::rpt2010006 {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

ResultTable Report(const ConditionDictionary& dct, std::string_view language = "chs") {
  return ReadTable(*RunReport(kProgId, TinySession(language), &dct));
}

// No group field, FChkLevel 1: the summary of FRptID alone.
ConditionDictionary Ungrouped(std::initializer_list<std::pair<const char*, Variant>> filter = {}) {
  ConditionDictionary dct = Dict(filter);
  dct.Set("FChkLevel", 1);
  return dct;
}

TEST(Rpt2010006Rows, WithoutAGroupFieldEveryLineAndOneUnlabelledTotal) {
  const ResultTable table = Report(Ungrouped());
  EXPECT_EQ(table.columns, Columns({kSupplierColumns, kAppUserColumns, kDeptColumns, kItemColumns}));
  // Every column of every line as the detail batch made it, and the total:
  // NULL but its sums (no column can hold a label).
  EXPECT_TRUE(ReportMatches(table, kKey, Lines(), SummaryRow(table, "101", kAllLines)));
}

TEST(Rpt2010006Rows, ShowSumLeavesOnlyTheTotal) {
  ConditionDictionary dct = Ungrouped();
  dct.Set("FShowSum", "1");
  const ResultTable table = Report(dct);
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_TRUE(RowMatches(table, 0, SummaryRow(table, "101", kAllLines)));
}

struct FilterCase {
  const char* what;
  ConditionDictionary dct;
  std::vector<Line> lines;
  Sums total;
};

// Line sums (aux / check / amount / tax / carried / left / carried bal / left
// bal; precisions), from rpt2010006_lines.h:
// L1 0/3/15000/1950/3/0/16950/0; 0,2    L2 1/1/1000/130/1/0/1130/0; 2,4
// L3 2/2/8000/1040/1/1/4520/4520; 0,2   L4 0/1/30/3.9/0/1/0/33.9; 3,3
// L5 0/1/5000/650/0/1/0/5650; 0,2       L6 1/1/1000/130/1/0/1130/0; 2,4
// L7 0/4/1000/130/0/4/0/1130; 1,2       L8 2/2/1600/208/0/0/0/0; 2,2
TEST(Rpt2010006Rows, EachFilterConditionLeavesItsLines) {
  // L1 + L2 + L7: 0+1+0, 3+1+4, 15000+1000+1000, 1950+130+130, 3+1+0, 0+0+4, 16950+1130, 1130.
  const Sums asset_purchase{"1", "8", "17000", "2210", "4", "4", "18080", "1130", "2", "4"};
  const std::vector<FilterCase> cases = {
      // 6003 (02-20), 6004 (03-05) and 6005 (03-18) are within the dates, both ends included:
      // 2+0+0+1+0, 2+1+1+1+4, 8000+30+5000+1000+1000, 1040+3.9+650+130+130, 1+1, 1+1+1+4,
      // 4520+1130, 4520+33.9+5650+1130.
      {"dates", Ungrouped({{"FStartDate", "2024-02-20"}, {"FEndDate", "2024-03-18"}}), {L3, L4, L5, L6, L7},
       {"3", "9", "15030", "1953.9", "2", "7", "5650", "11333.9", "3", "4"}},
      // Source 1 (warehouse): 6003, 6004, 6006: 2+1+2, 2+1+1+1+2, 8000+30+5000+1000+1600,
      // 1040+3.9+650+130+208, 1+1, 1+1+1, 4520+1130, 4520+33.9+5650.
      {"from the warehouse", Ungrouped({{"FSource", 0}}), {L3, L4, L5, L6, L8},
       {"5", "7", "15630", "2031.9", "2", "3", "5650", "10203.9", "3", "4"}},
      {"from asset purchase", Ungrouped({{"FSource", "1"}}), {L1, L2, L7}, asset_purchase},
      // Status 4 (6002) and 8 (6005) are in the check: 1+0, 1+4, 1000+1000, 130+130, 1, 4, 1130, 1130.
      {"in the check", Ungrouped({{"FBillStatus", 0}}), {L2, L7}, {"1", "5", "2000", "260", "1", "4", "1130", "1130", "2", "4"}},
      // Status 16, the other six: the totals less the two lines above.
      {"checked", Ungrouped({{"FBillStatus", 1}}), {L1, L3, L4, L5, L6, L8},
       {"5", "10", "30630", "3981.9", "5", "3", "22600", "10203.9", "3", "4"}},
      {"construction in progress", Ungrouped({{"FUseFor", 0}}), {L2}, LineSums(L2)},
      // 0+0+1+0, 3+1+1+4, 15000+5000+1000+1000, 1950+650+130+130, 3+1, 1+4, 16950+1130, 5650+1130.
      {"to fixed assets", Ungrouped({{"FUseFor", 1}}), {L1, L5, L6, L7},
       {"1", "9", "22000", "2860", "4", "5", "18080", "6780", "2", "4"}},
      // 2+0, 2+1, 8000+30, 1040+3.9, 1, 1+1, 4520, 4520+33.9.
      {"to low-value consumables", Ungrouped({{"FUseFor", 2}}), {L3, L4},
       {"2", "3", "8030", "1043.9", "1", "2", "4520", "4553.9", "3", "3"}},
      // "All purposes" keeps 6006, which has none.
      {"all purposes", Ungrouped({{"FUseFor", 3}}), {L1, L2, L3, L4, L5, L6, L7, L8}, kAllLines},
      // Supplier numbers from 01: 01.001, 01.002 and "02.001  "; 00 is below and the
      // missing supplier 999 has no number. The totals less L7 and L8.
      {"suppliers from 01", Ungrouped({{"FSupplyFrom", "01"}}), {L1, L2, L3, L4, L5, L6},
       {"4", "9", "30030", "3903.9", "6", "3", "23730", "10203.9", "3", "4"}},
      // Departments 01.02 to 01.02.999: only 01.02.001 (01.01 is below, 02 above).
      {"departments", Ungrouped({{"FUseDeptFrom", "01.02"}, {"FUseDeptTo", "01.02.999"}}), {L1, L2, L7},
       asset_purchase},
      // Items up to 01.02: 01.01.001, 01.01.002 and 01.02 itself: 1+2+1, 3+1+2+1+1,
      // 15000+1000+8000+5000+1000, 1950+130+1040+650+130, 3+1+1+1, 1+1, 16950+1130+4520+1130, 4520+5650.
      {"items", Ungrouped({{"FItemTo", "01.02"}}), {L1, L2, L3, L5, L6},
       {"4", "8", "30000", "3900", "6", "2", "23730", "10170", "2", "4"}},
      // 2+0+0, 2+1+4, 8000+30+1000, 1040+3.9+130, 1, 1+1+4, 4520, 4520+33.9+1130.
      {"requisitioners from 02", Ungrouped({{"FAppUserFrom", "02"}}), {L3, L4, L7},
       {"2", "7", "9030", "1173.9", "1", "6", "4520", "5683.9", "3", "3"}},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.what);
    const ResultTable table = Report(c.dct);
    EXPECT_TRUE(ReportMatches(table, kKey, Pick(Lines(), c.lines), SummaryRow(table, "101", c.total)));
  }
}

TEST(Rpt2010006Rows, NoLineNoRowsNotEvenATotal) {
  // A rollup of no rows has no groups, so not even the grand total: the
  // result is empty, with its columns.
  const ResultTable table = Report(Ungrouped({{"FSupplyFrom", "ZZ"}}));
  EXPECT_TRUE(table.rows.empty());
  EXPECT_EQ(table.columns, Columns({kSupplierColumns, kAppUserColumns, kDeptColumns, kItemColumns}));
  EXPECT_TRUE(Report(Dict({{"FGroupByItem", "0"}, {"FStartDate", "2030-01-01"}})).rows.empty());
}

TEST(Rpt2010006Rows, TextsAreInTheSessionLanguage) {
  ConditionDictionary dct = Dict({{"FGroupByUseDept", "0"}, {"FUseFor", 1}});
  const ResultTable table = Report(dct, "en");
  // 6001 is checked (16) and from asset purchase; 6005 is in the check.
  const std::vector<size_t> details = table.RowsWithSumSort("0");
  ASSERT_EQ(details.size(), 4u);
  for (size_t row : details) {
    const bool in_check = table.Cell(row, "FBillNo") == "ZCLY000005";
    const bool warehouse = table.Cell(row, "FBillNo") == "ZCLY000004";
    EXPECT_EQ(table.Cell(row, "FMultiCheckStatus"), in_check ? "No" : "Yes");
    EXPECT_EQ(table.Cell(row, "FSource"), warehouse ? "Warehouse" : "Asset Purchase");
    EXPECT_EQ(table.Cell(row, "FUseFor"), "To Fixed Assets");
  }
  const std::vector<size_t> total = table.RowsWithSumSort("101");
  ASSERT_EQ(total.size(), 1u);
  EXPECT_EQ(table.Cell(total[0], "FUseDeptName"), "(Total)");
  for (size_t row : table.RowsWithSumSort("102")) {
    EXPECT_NE(table.Cell(row, "FUseDeptName").find("(Subtotal)"), std::string::npos);
  }
}

// What the caller gets: the number, the report's source and words that say
// which conditions to change; never rows.
platform::AutomationError Refusal(const ConditionDictionary& dct, std::string_view language = "chs") {
  try {
    RunReport(kProgId, TinySession(language), &dct);
  } catch (const platform::AutomationError& e) {
    EXPECT_EQ(e.source(), "Orvalent.CRPT2010006.GetRptData");
    return e;
  }
  ADD_FAILURE() << "failure reported as success";
  return platform::AutomationError(0, "", "");
}

TEST(Rpt2010006Rows, ChoicesTheReportCannotCarryOutAreRefused) {
  // No group field and FChkLevel 0: the total label has no name column.
  const platform::AutomationError none = Refusal(Dict({}));
  EXPECT_EQ(none.number(), platform::kErrInvalidProcedureCall);
  EXPECT_NE(none.description().find("FGroupByUseDept"), std::string::npos) << none.description();
  // Levels without a level item outermost.
  const platform::AutomationError levels = Refusal(Dict({{"FChkLevel", 1}, {"FLvlFrom", 1}, {"FLvlTo", 2}}));
  EXPECT_EQ(levels.number(), platform::kErrSubscriptOutOfRange);
  EXPECT_NE(levels.description().find("FGroupByItem"), std::string::npos) << levels.description();
  // No dictionary at all.
  try {
    RunReport(kProgId, TinySession(), nullptr);
    ADD_FAILURE() << "failure reported as success";
  } catch (const platform::AutomationError& e) {
    EXPECT_EQ(e.number(), platform::kErrObjectNotSet);
  }
}

TEST(Rpt2010006Rows, AFieldOfAnotherReportIsRejectedByTheDatabaseWithTheAdvice) {
  // Fees are no column of #AA_Rpt2010006: the rollup names an unknown column.
  const std::vector<std::pair<std::string, std::string>> languages = {
      {"chs", "指定了太多汇总列，请重新选择汇总方式！"},
      {"en", "Too many summary columns were specified. Please choose the summary mode again!"}};
  for (const auto& [language, advice] : languages) {
    SCOPED_TRACE(language);
    const platform::AutomationError e = Refusal(Dict({{"FGroupByExpense", "0"}}), language);
    EXPECT_EQ(e.number(), platform::kErrCommandText);
    EXPECT_EQ(e.description(), advice + "\r\nInvalid column name 'FFeeID'.");
  }
}

}  // namespace
}  // namespace orv::test::rpt2010006
