// The requisition report's SQL against hand-written golden files: the detail
// batch with and without every filter condition, the filter's predicates one
// by one, and the summary batches of the grouping choices (each summary file
// holds the batches in order, each ended by GO); what the report refuses
// before any batch runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/class_registry.h"
#include "reports/rpt2010006/sql_routines.h"
#include "tests/reports/golden.h"
#include "tests/reports/summary_script.h"
#include "tests/toolkit/condition_dict.h"
#include "tests/toolkit/expect_raises.h"

namespace orv::reports::rpt2010006 {
namespace {

using platform::ConditionDictionary;
using platform::Variant;
using test::Dict;

std::string Filter(const ConditionDictionary& dct) { return GetFilterSQL(&dct); }

std::vector<std::string> SummaryBatches(const ConditionDictionary& dct, const std::string& language = "chs") {
  return test::SummaryBatches(SummaryParameters(), dct, language);
}

std::string SummaryScript(const ConditionDictionary& dct, const std::string& language = "chs") {
  return test::SummaryScript(SummaryParameters(), dct, language);
}

TEST(Rpt2010006Detail, EveryLineOrTheLinesTheConditionsLeave) {
  // The columns the base data may leave NULL (units, supplier, requisitioner,
  // biller, purpose text, precisions) are guarded in the golden text.
  EXPECT_TRUE(test::MatchesGolden(GetDetailBatchSQL("chs", nullptr), "rpt2010006/detail_all_lines.sql"));
  const ConditionDictionary none = Dict({});
  EXPECT_TRUE(test::MatchesGolden(GetDetailBatchSQL("chs", &none), "rpt2010006/detail_all_lines.sql"));
  const ConditionDictionary every = Dict({{"FStartDate", "2024-2-1"},
                                          {"FEndDate", Variant::Date(45382.0)},  // 2024-03-31
                                          {"FItemFrom", "01"},
                                          {"FItemTo", "02.002"},
                                          {"FUseDeptFrom", "01"},
                                          {"FUseDeptTo", "01.02.001"},
                                          {"FSupplyFrom", "00"},
                                          {"FSupplyTo", "O'Neil"},
                                          {"FAppUserFrom", "01.001"},
                                          {"FAppUserTo", "02"},
                                          {"FSource", 1},
                                          {"FBillStatus", "1"},
                                          {"FUseFor", 1},
                                          {"FGroupByUseDept", "0"}});
  EXPECT_TRUE(test::MatchesGolden(GetDetailBatchSQL("chs", &every), "rpt2010006/detail_all_conditions.sql"));
}

TEST(Rpt2010006Detail, TextsOfTheRowsAreInTheSessionLanguage) {
  platform::RegisterPlatformClasses();  // the resource loader
  const std::string english = GetDetailBatchSQL("en", nullptr);
  for (const char* text : {"Then 'Yes' Else 'No' End as FMultiCheckStatus", "Then 'Warehouse' Else 'Asset Purchase' End",
                           "then 'Construction in Progress'", "then 'To Fixed Assets'",
                           "then 'To Low-Value Consumables'  Else '' End as FUseFor"}) {
    EXPECT_NE(english.find(text), std::string::npos) << text;
  }
}

TEST(Rpt2010006Filter, DatesFormOneGroupOfTheBoundsGiven) {
  EXPECT_EQ(Filter(Dict({{"FStartDate", "2024/1/5"}, {"FEndDate", "2024-03-31 00:00:00"}})),
            "\r\n AND ( ca.FDate>='2024-01-05' AND ca.FDate<='2024-03-31' )");
  EXPECT_EQ(Filter(Dict({{"FStartDate", "2024-02-01"}})), "\r\n AND ( ca.FDate>='2024-02-01' )");
  EXPECT_EQ(Filter(Dict({{"FEndDate", "2024-02-29"}})), "\r\n AND ( ca.FDate<='2024-02-29' )");
  test::ExpectRaises([] { Filter(Dict({{"FEndDate", "yesterday"}})); }, platform::kErrTypeMismatch);
}

TEST(Rpt2010006Filter, BoundsStandAloneAndKeepTheirText) {
  EXPECT_EQ(Filter(Dict({{"FUseDeptFrom", "01.02"}, {"FUseDeptTo", ""}})), "\r\n AND td.FNumber>='01.02'");
  EXPECT_EQ(Filter(Dict({{"FAppUserTo", " 02 "}, {"FItemTo", "x' OR '1'='1"}})),
            "\r\n AND tc.FNumber <='x'' OR ''1''=''1' AND te.FNumber<=' 02 '");
}

TEST(Rpt2010006Filter, StatusesPickTheirPredicateByValue) {
  const std::vector<std::pair<Variant, std::string>> sources = {
      {Variant(0), " AND ca.FSourceID = 1"}, {Variant("1"), " AND ca.FSourceID = 2"}, {Variant(2), ""}};
  for (const auto& [value, predicate] : sources) EXPECT_EQ(Filter(Dict({{"FSource", value}})), "\r\n" + predicate);
  EXPECT_EQ(Filter(Dict({{"FBillStatus", 0}})),
            "\r\n AND (ca.FMultiCheckStatus = 2 OR ca.FMultiCheckStatus = 4 OR ca.FMultiCheckStatus =  8 )");
  EXPECT_EQ(Filter(Dict({{"FBillStatus", "1"}})), "\r\n AND (ca.FMultiCheckStatus = 16 )");
  EXPECT_EQ(Filter(Dict({{"FUseFor", "0"}})), "\r\n AND ca.FPurposeID = 1");
  EXPECT_EQ(Filter(Dict({{"FUseFor", 1}})), "\r\n AND ca.FPurposeID= 2");
  EXPECT_EQ(Filter(Dict({{"FUseFor", 2}})), "\r\n AND ca.FPurposeID= 3");
  // "All", negative, empty or absent: no predicate; text that is no number is refused.
  for (const Variant& none : {Variant(3), Variant(-1), Variant(""), Variant(), Variant::Null()}) {
    EXPECT_EQ(Filter(Dict({{"FSource", none}, {"FBillStatus", none}, {"FUseFor", none}})), "\r\n");
  }
  test::ExpectRaises([] { Filter(Dict({{"FUseFor", "all"}})); }, platform::kErrTypeMismatch);
}

TEST(Rpt2010006Summary, DepartmentPlainRollupLabelsTotalAndSubtotals) {
  // FChkLevel absent reads as 0: plain rollup, total label run.
  EXPECT_TRUE(test::MatchesGolden(SummaryScript(Dict({{"FGroupByUseDept", "0"}})), "rpt2010006/use_dept.sql"));
  // FChkLevel 0 with levels asked: still the plain rollup.
  EXPECT_TRUE(test::MatchesGolden(
      SummaryScript(Dict({{"FGroupByUseDept", 0}, {"FChkLevel", 0}, {"FLvlFrom", 1}, {"FLvlTo", 3}})),
      "rpt2010006/use_dept.sql"));
}

TEST(Rpt2010006Summary, TypicalRequestDepartmentLevelsOneToTwo) {
  EXPECT_TRUE(test::MatchesGolden(
      SummaryScript(Dict({{"FGroupByUseDept", "0"}, {"FChkLevel", 1}, {"FLvlFrom", 1}, {"FLvlTo", 2}})),
      "rpt2010006/use_dept_levels_1_2.sql"));
}

TEST(Rpt2010006Summary, SupplierThenItemSummaryRowsOnly) {
  EXPECT_TRUE(test::MatchesGolden(
      SummaryScript(Dict({{"FGroupBySupply", "0"}, {"FGroupByItem", "1"}, {"FChkLevel", 0}, {"FShowSum", 1}})),
      "rpt2010006/supplier_item_summary_only.sql"));
}

TEST(Rpt2010006Summary, LevelCheckedWithoutLevelsLeavesTheTotalUnlabelled) {
  const std::vector<std::string> batches = SummaryBatches(Dict({{"FGroupByItem", "0"}, {"FChkLevel", 1}}));
  // Rollup, numbers and names, the subtotal labels, the final select: no total label.
  ASSERT_EQ(batches.size(), 4u);
  EXPECT_EQ(batches[2], "Update #TmpResult2 Set FItemName=ISNULL(FItemName,'')+'(小计)' WHERE FSumSort=102\r\n");
}

TEST(Rpt2010006Summary, EachLevelItemJoinsItsOwnLevelTable) {
  const std::vector<std::tuple<const char*, const char*, const char*>> fields = {
      {"FGroupByItem", "4", "FItemID"},
      {"FGroupBySupply", "8", "FSupplyID"},
      {"FGroupByAppUser", "3", "FAppUserID"},
      {"FGroupByUseDept", "2", "FUseDeptID"}};
  for (const auto& [key, item_class, column] : fields) {
    SCOPED_TRACE(key);
    const std::vector<std::string> batches =
        SummaryBatches(Dict({{key, "0"}, {"FChkLevel", 1}, {"FLvlFrom", 2}, {"FLvlTo", 3}}));
    ASSERT_GE(batches.size(), 2u);
    EXPECT_NE(batches[0].find(std::string(" Where FItemClassID=") + item_class + "\r\n  AND FItemID IN(Select " +
                              column + " From #AA_Rpt2010006)\r\n"),
              std::string::npos);
    EXPECT_NE(batches[1].find("Select t2.FName2,t2.FName3,T1." + std::string(column) + ",T1.FRptID\r\n"),
              std::string::npos);
    EXPECT_NE(batches[1].find("Left Join #ItemLevel t2 On t2.FItemID=t1." + std::string(column) + "\r\n"),
              std::string::npos);
  }
}

TEST(Rpt2010006Summary, AnyTextInAGroupingKeyTakesThatFieldFromTheDetailColumns) {
  // "N" groups nothing, yet the requisitioner's detail columns leave the result.
  const std::vector<std::string> batches =
      SummaryBatches(Dict({{"FGroupByItem", "0"}, {"FGroupByAppUser", "N"}}));
  EXPECT_EQ(batches.back().substr(0, batches.back().find("\r\n apt.FDate")),
            "Select tmp2.FItemID,tmp2.FItemNumber,tmp2.FItemName,\r\n"
            "apt.FSupplyID,apt.FSupplyNumber,apt.FSupplyName,apt.FUseDeptID,apt.FUseDeptNumber,apt.FUseDeptName,");
}

TEST(Rpt2010006Summary, LabelsAreInTheSessionLanguage) {
  const std::string english = SummaryScript(Dict({{"FGroupByAppUser", "0"}}), "en");
  EXPECT_NE(english.find("Set FAppUserName=ISNULL(FAppUserName,'')+'(Total)' WHERE FSumSort=101"), std::string::npos);
  EXPECT_NE(english.find("Set FAppUserName=ISNULL(FAppUserName,'')+'(Subtotal)' WHERE FSumSort=102"),
            std::string::npos);
}

// Choices the summary cannot carry out stop the call before any batch runs,
// with an error that names the keys to change.
TEST(Rpt2010006Refused, NoGroupFieldWhereTheTotalLabelNeedsOne) {
  for (const ConditionDictionary& dct : {Dict({}), Dict({{"FChkLevel", 0}}), Dict({{"FGroupByItem", "N"}})}) {
    try {
      toolkit::CheckSummaryConditions(SummaryParameters(), dct);
      ADD_FAILURE() << "no error";
    } catch (const platform::AutomationError& e) {
      EXPECT_EQ(e.number(), platform::kErrInvalidProcedureCall);
      EXPECT_NE(e.description().find("FGroupByItem, FGroupBySupply, FGroupByAppUser or FGroupByUseDept"),
                std::string::npos)
          << e.description();
      EXPECT_NE(e.description().find("FChkLevel"), std::string::npos);
    }
  }
  test::ExpectRaises([] { SummaryBatches(Dict({})); }, platform::kErrInvalidProcedureCall);
  // With FChkLevel set the total label is not written, so the summary of
  // FRptID alone runs: every line and one total.
  EXPECT_NO_THROW(toolkit::CheckSummaryConditions(SummaryParameters(), Dict({{"FChkLevel", 1}})));
}

TEST(Rpt2010006Refused, LevelsWithoutALevelItemOutermost) {
  // No group field, or an outermost field of another report (expense type, code 0).
  for (const ConditionDictionary& dct :
       {Dict({{"FChkLevel", 1}, {"FLvlFrom", 1}, {"FLvlTo", 2}}),
        Dict({{"FGroupByExpenseType", "0"}, {"FGroupByItem", "1"}, {"FChkLevel", 1}, {"FLvlTo", 2}})}) {
    try {
      SummaryBatches(dct);
      ADD_FAILURE() << "no error";
    } catch (const platform::AutomationError& e) {
      EXPECT_EQ(e.number(), platform::kErrSubscriptOutOfRange);
      EXPECT_NE(e.description().find("FChkLevel, FLvlFrom, FLvlTo"), std::string::npos) << e.description();
      EXPECT_NE(e.description().find("at position \"0\""), std::string::npos);
    }
  }
}

TEST(Rpt2010006Refused, LevelRangesThatCannotBeBuilt) {
  test::ExpectRaises(
      [] { SummaryBatches(Dict({{"FGroupByItem", "0"}, {"FChkLevel", 1}, {"FLvlFrom", 1}, {"FLvlTo", 100000}})); },
      platform::kErrInvalidProcedureCall);
  test::ExpectRaises([] { SummaryBatches(Dict({{"FGroupByItem", "0"}, {"FChkLevel", 1}, {"FLvlTo", "two"}})); },
                     platform::kErrTypeMismatch);
  test::ExpectRaises([] { SummaryBatches(Dict({{"FGroupByItem", "0"}, {"FChkLevel", "yes"}, {"FLvlTo", 2}})); },
                     platform::kErrTypeMismatch);
}

}  // namespace
}  // namespace orv::reports::rpt2010006
