// The expense invoice report's SQL against hand-written golden files: the
// detail batch in its three layouts, the filter's predicates, the total row,
// and the summary batches of the grouping options with and without a level
// range (each summary file holds the batches in order, each ended by GO).
#include <gtest/gtest.h>

#include <string>

#include "platform/class_registry.h"
#include "reports/rpt2010002/sql_routines.h"
#include "tests/reports/golden.h"
#include "tests/reports/summary_script.h"
#include "tests/toolkit/condition_dict.h"
#include "tests/toolkit/expect_raises.h"
#include "toolkit/sql_text.h"

namespace orv::reports::rpt2010002 {
namespace {

using platform::ConditionDictionary;
using platform::Variant;
using test::Dict;

std::string Filter(const ConditionDictionary& dct) { return GetFilterSQL(&dct); }
std::string Detail(const ConditionDictionary& dct) { return GetDetailBatchSQL(&dct); }

std::string SummaryScript(const ConditionDictionary& dct, const std::string& language = "chs") {
  return test::SummaryScript(SummaryParameters(), dct, language);
}

ConditionDictionary Grouped(std::initializer_list<std::pair<const char*, Variant>> entries) {
  ConditionDictionary dct = Dict(entries);
  dct.Set("FChkGroupBy", 1);
  return dct;
}

TEST(Rpt2010002Detail, EachLayoutHasItsTableInsertAndSelect) {
  // Without FChkGroupBy: no report identifier, single blank in the select tail.
  EXPECT_TRUE(test::MatchesGolden(Detail(Dict({})), "rpt2010002/detail_ungrouped.sql"));
  // Supplier levels drop the report identifier: two blanks before FPriceDecimal.
  EXPECT_TRUE(test::MatchesGolden(Detail(Grouped({{"FGroupBySupplyType", "1"}})),
                                  "rpt2010002/detail_supplier_levels.sql"));
  // The supplier option keeps it: FRptID 2010002 and FRptName 'ZCCGFYFP'.
  const ConditionDictionary every = Grouped({{"FGroupBySupply", "0"},
                                             {"FStartDate", "2024-2-1"},
                                             {"FEndDate", Variant::Date(45387.0)},  // 2024-04-05
                                             {"FExpenseFrom", "01"},
                                             {"FExpenseTo", "02"},
                                             {"FSupplyFrom", "01"},
                                             {"FSupplyTo", "99"},  // the dialog has no upper bound
                                             {"FBillStatus", 1},
                                             {"FHookStatus", "1"}});
  EXPECT_TRUE(test::MatchesGolden(Detail(every), "rpt2010002/detail_supplier_all_conditions.sql"));
}

TEST(Rpt2010002Detail, ReportIdentifierLayoutOnlyForItsFourOptionsWhenGrouped) {
  const std::string with_id = "FNote,FRptID,FRptName,FSumSort";
  for (const auto& [key, value] : std::vector<std::pair<const char*, const char*>>{
           {"FGroupBySupply", "0"}, {"FGroupByExpenseType", "3"}, {"FGroupBySupAndExp", "4"},
           {"FGroupByExpAndSup", "5"}}) {
    SCOPED_TRACE(key);
    EXPECT_NE(Detail(Grouped({{key, value}})).find(with_id), std::string::npos);
    // Ungrouped, the option is not read as one.
    EXPECT_EQ(Detail(Dict({{key, value}})).find(with_id), std::string::npos);
    // The value must be the option's own position.
    EXPECT_EQ(Detail(Grouped({{key, "1"}})).find(with_id), std::string::npos);
  }
  EXPECT_EQ(Detail(Grouped({{"FGroupByExpense", "2"}})).find(with_id), std::string::npos);
}

TEST(Rpt2010002Detail, WithoutDictionaryTheLayoutCannotBeChosen) {
  EXPECT_EQ(GetFilterSQL(nullptr), "\r\n");
  test::ExpectRaises([] { GetDetailBatchSQL(nullptr); }, platform::kErrObjectNotSet);
}

TEST(Rpt2010002Filter, DatesFormOneGroupOfTheBoundsGiven) {
  EXPECT_EQ(Filter(Dict({{"FStartDate", "2024/1/5"}})), "\r\n AND ( aa.FDate>='2024-01-05' )");
  EXPECT_EQ(Filter(Dict({{"FEndDate", "2024-03-31 00:00:00"}})), "\r\n AND ( aa.FDate<='2024-03-31' )");
  EXPECT_EQ(Filter(Dict({{"FStartDate", ""}, {"FEndDate", Variant()}})), "\r\n");
  test::ExpectRaises([] { Filter(Dict({{"FStartDate", "not a date"}})); }, platform::kErrTypeMismatch);
}

TEST(Rpt2010002Filter, StatusesNeedTextAndZeroOrOne) {
  const std::string audited = " AND (aa.FMultiCheckStatus = 16 )";
  const std::string in_check =
      " AND (aa.FMultiCheckStatus = 2 OR aa.FMultiCheckStatus = 4 OR aa.FMultiCheckStatus =  8 )";
  EXPECT_EQ(Filter(Dict({{"FBillStatus", "0"}})), "\r\n" + audited);
  EXPECT_EQ(Filter(Dict({{"FBillStatus", 1}})), "\r\n" + in_check);
  EXPECT_EQ(Filter(Dict({{"FHookStatus", 0}})), "\r\n AND (ahe.FID_SRC IS NOT NULL )");
  EXPECT_EQ(Filter(Dict({{"FHookStatus", "1"}})), "\r\n AND (ahe.FID_SRC IS NULL  )");
  // Other values, below 0, empty or absent: no predicate (an empty value is not 0 here).
  for (const Variant& none : {Variant(2), Variant(-1), Variant(""), Variant(), Variant::Null()}) {
    EXPECT_EQ(Filter(Dict({{"FBillStatus", none}, {"FHookStatus", none}})), "\r\n");
  }
}

TEST(Rpt2010002Filter, ValuesKeepTheirBlanksAndCannotLeaveTheirQuotes) {
  EXPECT_EQ(Filter(Dict({{"FExpenseFrom", " 01 "}, {"FSupplyFrom", "O'Neil' OR '1'='1"}})),
            "\r\n AND tf.FNumber >=' 01 ' AND ts.FNumber>='O''Neil'' OR ''1''=''1'");
}

TEST(Rpt2010002Total, UngroupedModeAddsOneLabelledTotalRow) {
  const std::string chs = SummaryScript(Dict({}));
  EXPECT_TRUE(test::MatchesGolden(chs, "rpt2010002/total_chs.sql")) << chs;
  // Anything but 1 is ungrouped, whatever grouping key is set.
  EXPECT_EQ(SummaryScript(Dict({{"FChkGroupBy", 0}, {"FGroupBySupply", "0"}})), chs);
  EXPECT_EQ(SummaryScript(Dict({{"FChkGroupBy", "2"}})), chs);
  EXPECT_NE(SummaryScript(Dict({}), "en").find(" Select 'Total:' as FFeeName,"), std::string::npos);
}

TEST(Rpt2010002Summary, SupplierKeepsTheReportIdentifierForItsSubtotals) {
  EXPECT_TRUE(test::MatchesGolden(SummaryScript(Grouped({{"FGroupBySupply", "0"}})), "rpt2010002/supplier.sql"));
  // A level range of 0 to 0 is no level range.
  EXPECT_TRUE(test::MatchesGolden(SummaryScript(Grouped({{"FGroupBySupply", 0}, {"FLvlFrom", 0}, {"FLvlTo", "0"}})),
                                  "rpt2010002/supplier.sql"));
}

TEST(Rpt2010002Summary, LevelPathsForSuppliersAndFees) {
  EXPECT_TRUE(test::MatchesGolden(
      SummaryScript(Grouped({{"FGroupBySupplyType", "1"}, {"FLvlFrom", "1"}, {"FLvlTo", 2}})),
      "rpt2010002/supplier_levels_1_2.sql"));
  EXPECT_TRUE(test::MatchesGolden(
      SummaryScript(Grouped({{"FGroupBySupAndExp", "4"}, {"FLvlFrom", 1}, {"FLvlTo", 2}})),
      "rpt2010002/supplier_and_expense_levels_1_2.sql"));
  // Expense type has no level item: the level join is left without its column.
  const std::string rejected = SummaryScript(Grouped({{"FGroupByExpenseType", "3"}, {"FLvlFrom", 1}, {"FLvlTo", 2}}));
  const std::string expected = test::ReadGolden("rpt2010002/expense_type_levels_1_2.sql");
  EXPECT_TRUE(test::MatchesGolden(rejected.substr(0, expected.size()), "rpt2010002/expense_type_levels_1_2.sql"));
}

TEST(Rpt2010002Summary, FeeOptionsLevelTheFees) {
  // Fee levels ("2") and expense and supplier ("5") build the level table of
  // class 2014 for the fees of the detail rows and join it on the fee.
  for (const auto& [key, value] : std::vector<std::pair<const char*, const char*>>{{"FGroupByExpense", "2"},
                                                                                    {"FGroupByExpAndSup", "5"}}) {
    SCOPED_TRACE(key);
    const std::string script = SummaryScript(Grouped({{key, value}, {"FLvlFrom", 1}, {"FLvlTo", 2}}));
    EXPECT_NE(script.find(" Where FItemClassID=2014\r\n  AND FItemID IN(Select FFeeID From #AA_Rpt2010002)\r\n"),
              std::string::npos);
    EXPECT_NE(script.find("Left Join #ItemLevel t2 On t2.FItemID=t1.FFeeID\r\n"), std::string::npos);
    EXPECT_NE(script.find("Delete From #TmpResult2 Where FFeeName Like '%(小计)%'\r\n"), std::string::npos);
  }
}

TEST(Rpt2010002Summary, ShowSumKeepsOnlyTheSummaryRows) {
  const std::string plain = test::ReadGolden("rpt2010002/supplier.sql");
  const std::string join = "apt.FRptID\r\n";
  std::string summary_only = plain;
  summary_only.insert(summary_only.find(join) + join.size(), " Where tmp2.FSumSort>0 \r\n");
  EXPECT_EQ(SummaryScript(Grouped({{"FGroupBySupply", "0"}, {"FShowSum", 1}})), summary_only);
  EXPECT_EQ(SummaryScript(Grouped({{"FGroupBySupply", "0"}, {"FShowSum", "1"}})), summary_only);
  EXPECT_EQ(SummaryScript(Grouped({{"FGroupBySupply", "0"}, {"FShowSum", 0}})), plain);
}

TEST(Rpt2010002Summary, LabelsAreInTheSessionLanguage) {
  const std::string english = SummaryScript(Grouped({{"FGroupBySupply", "0"}}), "en");
  EXPECT_NE(english.find("Set FSupplyName=ISNULL(FSupplyName,'')+'(Total)' WHERE FSumSort=101"), std::string::npos);
  EXPECT_NE(english.find("Set FSupplyName=ISNULL(FSupplyName,'')+'(Subtotal)' WHERE FSumSort=102"),
            std::string::npos);
  const std::string levels = SummaryScript(Grouped({{"FGroupBySupply", "0"}, {"FLvlFrom", 1}, {"FLvlTo", 1}}), "en");
  EXPECT_NE(levels.find("Delete From #TmpResult2 Where  FNumber1 Like '%(Subtotal)%'"), std::string::npos);
}

TEST(Rpt2010002Summary, LevelRangesThatCannotBeBuiltStopTheCall) {
  // Past the deepest level the level table refuses the range (5); a range
  // without levels on the expense type has no level column to list (5); a
  // level range that is no number is a type mismatch.
  test::ExpectRaises([] { SummaryScript(Grouped({{"FGroupBySupply", "0"}, {"FLvlFrom", 1}, {"FLvlTo", 100000}})); },
                     platform::kErrInvalidProcedureCall);
  test::ExpectRaises(
      [] { SummaryScript(Grouped({{"FGroupByExpenseType", "3"}, {"FLvlFrom", 1}, {"FLvlTo", 2000000000}})); },
      platform::kErrInvalidProcedureCall);
  test::ExpectRaises([] { SummaryScript(Grouped({{"FGroupByExpenseType", "3"}, {"FLvlFrom", 3}, {"FLvlTo", 2}})); },
                     platform::kErrInvalidProcedureCall);
  test::ExpectRaises([] { SummaryScript(Grouped({{"FGroupBySupply", "0"}, {"FLvlTo", "two"}})); },
                     platform::kErrTypeMismatch);
  // A code with a level table but no level item of this report (items, 4).
  test::ExpectRaises([] { SummaryScript(Grouped({{"FGroupByItem", "0"}, {"FLvlFrom", 1}, {"FLvlTo", 2}})); },
                     platform::kErrSubscriptOutOfRange);
}

}  // namespace
}  // namespace orv::reports::rpt2010002
