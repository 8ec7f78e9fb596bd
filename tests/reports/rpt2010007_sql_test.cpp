// The application tracking report's SQL against hand-checked golden files: the
// detail batch of each view with and without every condition, the two
// predicate texts condition by condition, and the summary batches of each view
// (each summary file holds the batches in order, each ended by GO); the view
// keys and choices the report refuses before any batch runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/class_registry.h"
#include "reports/rpt2010007/sql_routines.h"
#include "tests/reports/golden.h"
#include "tests/reports/summary_script.h"
#include "tests/toolkit/condition_dict.h"
#include "tests/toolkit/expect_raises.h"

namespace orv::reports::rpt2010007 {
namespace {

using platform::ConditionDictionary;
using platform::Variant;
using test::Dict;

struct Where {
  std::string app;
  std::string cip;
};

Where Filter(const ConditionDictionary& dct) {
  Where where{"not", "set"};
  GetFilterSQL(dct, where.app, where.cip);
  return where;
}

std::string SummaryScript(const ConditionDictionary& dct) {
  return test::SummaryScript(SummaryParameters(ReadView(dct)), dct);
}

std::vector<std::string> SummaryBatches(const ConditionDictionary& dct, const std::string& language = "chs") {
  return test::SummaryBatches(SummaryParameters(ReadView(dct)), dct, language);
}

constexpr std::string_view kNotDoneOnly = " AND ae.FNoDoQty <>  ae.FCheckQty ";

TEST(Rpt2010007Detail, ApplicationViewWithTheThreeChains) {
  // No condition: the four application WHERE clauses hold only the default
  // "not fully executed" predicate; checker, note and biller are guarded.
  EXPECT_TRUE(test::MatchesGolden(GetDetailBatchSQL("chs", Dict({}), View::Application),
                                  "rpt2010007/detail_application.sql"));
}

TEST(Rpt2010007Detail, SourceViewWithEveryConditionOnBothSides) {
  const ConditionDictionary every = Dict({{"FAppSource", 0},
                                          {"FApplicationSource", 1},
                                          {"FStartDate", "2024-01-01"},
                                          {"FEndDate", Variant::Date(45382.0)},  // 2024-03-31
                                          {"FItemFrom", "01"},
                                          {"FItemTo", "02.9"},
                                          {"FAppDeptFrom", "01"},
                                          {"FAppDeptTo", "02"},
                                          {"FUseDeptFrom", "01"},
                                          {"FUseDeptTo", "02"},
                                          {"FSupplyFrom", "00"},
                                          {"FSupplyTo", "O'Neil"},
                                          {"FAppUserFrom", "01"},
                                          {"FAppUserTo", "02"},
                                          {"FBillStatus", 1},
                                          {"FCloseStatus", "0"},
                                          {"FShowUnDo", 0}});
  EXPECT_TRUE(test::MatchesGolden(GetDetailBatchSQL("chs", every, ReadView(every)),
                                  "rpt2010007/detail_source_all_conditions.sql"));
}

TEST(Rpt2010007Detail, TableAndColumnsFollowTheView) {
  const std::string application = GetDetailBatchSQL("chs", Dict({}), View::Application);
  const std::string source = GetDetailBatchSQL("chs", Dict({{"FAppSource", 0}, {"FApplicationSource", 1}}), View::Source);
  EXPECT_NE(application.find("   FBillNo                     NVARCHAR(80)        NOT NULL DEFAULT(''),\r\n"),
            std::string::npos);
  EXPECT_EQ(source.find("FBillNo  "), std::string::npos);
  EXPECT_EQ(application.find("FApplicationSRC"), std::string::npos);
  EXPECT_EQ(application.find("Union All\r\n  --资产领用单---"), std::string::npos);
  EXPECT_NE(source.find("   FApplicationSRC             NVARCHAR(255)       NOT NULL DEFAULT(''),\r\n"),
            std::string::npos);
  // The application lines come first, the requisitions without an application second.
  EXPECT_LT(source.find("  SELECT aa.FAppDate"), source.find("  Union All\r\n  --资产领用单---\r\n  SELECT ca.FDate"));
}

TEST(Rpt2010007Detail, TextsOfTheRowsAreInTheSessionLanguage) {
  platform::RegisterPlatformClasses();  // the resource loader
  const std::string english =
      GetDetailBatchSQL("en", Dict({{"FAppSource", 0}, {"FApplicationSource", 1}}), View::Source);
  for (const char* text : {"Then 'Yes' Else 'No' End as FMultiCheckStatus", "Then 'Yes' Else 'No' End as FCloseStatus",
                           "Then 'Warehouse' Else 'Asset Purchase' End   as FApplicationSRC"}) {
    EXPECT_NE(english.find(text), std::string::npos) << text;
  }
}

TEST(Rpt2010007Filter, EmptyDictionaryKeepsOnlyLinesNotFullyExecuted) {
  const Where where = Filter(Dict({}));
  EXPECT_EQ(where.app, "\r\n" + std::string(kNotDoneOnly));
  EXPECT_EQ(where.cip, "\r\n");
  // Any value but 0 keeps every line; outside the application view the key is not read.
  EXPECT_EQ(Filter(Dict({{"FShowUnDo", 1}})).app, "\r\n");
  EXPECT_EQ(Filter(Dict({{"FAppSource", 0}, {"FShowUnDo", 0}})).app, "\r\n");
}

TEST(Rpt2010007Filter, TheWorkedExampleOfTheApplicationView) {
  const Where where = Filter(Dict({{"FAppSource", 1},
                                   {"FStartDate", "2024-01-01"},
                                   {"FEndDate", "2024-03-31"},
                                   {"FItemFrom", "01"},
                                   {"FBillStatus", 1},
                                   {"FShowUnDo", 0}}));
  EXPECT_EQ(where.app,
            "\r\n AND ( aa.FAppDate>='2024-01-01' AND aa.FAppDate<='2024-03-31' ) AND tc.FNumber >='01' AND "
            "(aa.FMultiCheckStatus = 16 ) AND ae.FNoDoQty <>  ae.FCheckQty ");
  EXPECT_EQ(where.cip, "\r\n AND (ca.FMultiCheckStatus = 16 )");
}

TEST(Rpt2010007Filter, RangesReachTheRequisitionsOutsideTheApplicationView) {
  // Each bound alone, on each side that takes it: the applying department
  // has no requisition counterpart; the using department and the applicant
  // are the requisition's own.
  const std::vector<std::tuple<const char*, std::string, std::string>> bounds = {
      {"FItemFrom", " AND tc.FNumber >='x'", " AND tc.FNumber >='x'"},
      {"FItemTo", " AND tc.FNumber <='x'", " AND tc.FNumber <='x'"},
      {"FAppDeptFrom", " AND td.FNumber>='x'", ""},
      {"FAppDeptTo", " AND td.FNumber<='x'", ""},
      {"FUseDeptFrom", " AND td2.FNumber>='x'", " AND td.FNumber >='x'"},
      {"FUseDeptTo", " AND td2.FNumber<='x'", " AND td.FNumber <='x'"},
      {"FSupplyFrom", " AND ts.FNumber>='x'", " AND ts.FNumber >='x'"},
      {"FSupplyTo", " AND ts.FNumber<='x'", " AND ts.FNumber <='x'"},
      {"FAppUserFrom", " AND te.FNumber>='x'", " AND te.FNumber >='x'"},
      {"FAppUserTo", " AND te.FNumber<='x'", " AND te.FNumber <='x'"},
  };
  for (const auto& [key, app, cip] : bounds) {
    SCOPED_TRACE(key);
    const Where source = Filter(Dict({{"FAppSource", 0}, {key, "x"}}));
    EXPECT_EQ(source.app, "\r\n" + app);
    EXPECT_EQ(source.cip, "\r\n" + cip);
    const Where application = Filter(Dict({{"FShowUnDo", 1}, {key, "x"}}));
    EXPECT_EQ(application.app, "\r\n" + app);
    EXPECT_EQ(application.cip, "\r\n");
  }
  EXPECT_EQ(Filter(Dict({{"FAppSource", 0}, {"FEndDate", "2024-02-29"}})).cip, "\r\n AND ( ca.FDate<='2024-02-29' )");
  // A quote in a value stays inside its literal.
  EXPECT_EQ(Filter(Dict({{"FAppSource", 0}, {"FSupplyTo", "x' OR '1'='1"}})).cip,
            "\r\n AND ts.FNumber <='x'' OR ''1''=''1'");
}

TEST(Rpt2010007Filter, StatesPickTheirPredicateByValue) {
  Where where = Filter(Dict({{"FShowUnDo", 1}, {"FBillStatus", "0"}, {"FCloseStatus", 0}}));
  EXPECT_EQ(where.app,
            "\r\n AND (aa.FMultiCheckStatus = 2 OR aa.FMultiCheckStatus = 4 OR aa.FMultiCheckStatus =  8 ) AND "
            "aa.FCloseStatus = 0");
  EXPECT_EQ(where.cip, "\r\n AND (ca.FMultiCheckStatus = 2 OR ca.FMultiCheckStatus = 4 OR ca.FMultiCheckStatus =  8 )");
  EXPECT_EQ(Filter(Dict({{"FShowUnDo", 1}, {"FCloseStatus", "1"}})).app, "\r\n AND aa.FCloseStatus= 1");
  for (const Variant& all : {Variant(2), Variant(-1), Variant(""), Variant::Null()}) {
    where = Filter(Dict({{"FShowUnDo", 1}, {"FBillStatus", all}, {"FCloseStatus", all}}));
    EXPECT_EQ(where.app, "\r\n");
    EXPECT_EQ(where.cip, "\r\n");
  }
  test::ExpectRaises([] { Filter(Dict({{"FCloseStatus", "closed"}})); }, platform::kErrTypeMismatch);
  test::ExpectRaises([] { Filter(Dict({{"FStartDate", "soon"}})); }, platform::kErrTypeMismatch);
}

TEST(Rpt2010007Summary, ItemPlainRollupOfTheApplicationView) {
  EXPECT_TRUE(test::MatchesGolden(SummaryScript(Dict({{"FGroupByItem", "0"}})), "rpt2010007/item.sql"));
}

TEST(Rpt2010007Summary, SourceViewDepartmentLevelsOneToTwo) {
  // The total labels run on #TmpResult right after the rollup, then an empty
  // line before their closing comment; no level rows are deleted.
  EXPECT_TRUE(test::MatchesGolden(SummaryScript(Dict({{"FAppSource", 0},
                                                      {"FApplicationSource", 1},
                                                      {"FGroupByUseDept", "0"},
                                                      {"FChkLevel", 1},
                                                      {"FLvlFrom", 1},
                                                      {"FLvlTo", 2}})),
                                  "rpt2010007/source_use_dept_levels_1_2.sql"));
}

TEST(Rpt2010007Summary, SourceViewSupplierThenApplicantSummaryRowsOnly) {
  // The plain rollup of the source view keeps the blanks of its last sum line.
  EXPECT_TRUE(test::MatchesGolden(SummaryScript(Dict({{"FAppSource", "0"},
                                                      {"FApplicationSource", "1"},
                                                      {"FGroupBySupply", "0"},
                                                      {"FGroupByAppUser", "1"},
                                                      {"FShowSum", "1"}})),
                                  "rpt2010007/source_supplier_applicant_summary_only.sql"));
}

TEST(Rpt2010007Summary, EachLevelItemJoinsItsOwnLevelTable) {
  const std::vector<std::tuple<const char*, const char*, const char*>> fields = {
      {"FGroupByItem", "4", "FItemID"},
      {"FGroupBySupply", "8", "FSupplyID"},
      {"FGroupByAppUser", "3", "FAppUserID"},
      {"FGroupByUseDept", "2", "FUseDeptID"}};
  for (const auto& [key, item_class, column] : fields) {
    SCOPED_TRACE(key);
    const std::vector<std::string> batches =
        SummaryBatches(Dict({{key, "0"}, {"FChkLevel", 1}, {"FLvlFrom", 2}, {"FLvlTo", 3}}));
    ASSERT_GE(batches.size(), 3u);
    EXPECT_NE(batches[0].find(std::string(" Where FItemClassID=") + item_class + "\r\n  AND FItemID IN(Select " +
                              column + " From #AA_Rpt2010007)\r\n"),
              std::string::npos);
    EXPECT_NE(batches[1].find("Select t2.FName2,t2.FName3,T1." + std::string(column) + ",T1.FRptID\r\n"),
              std::string::npos);
    EXPECT_NE(batches[1].find("Left Join #ItemLevel t2 On t2.FItemID=t1." + std::string(column) + "\r\n"),
              std::string::npos);
    EXPECT_EQ(batches[2].rfind("----更新汇总列的名称SQL:Begin--\r\nUpdate #TmpResult Set FName2=", 0), 0u);
  }
}

TEST(Rpt2010007Summary, LevelCheckedWithoutLevelsLeavesTheTotalUnlabelled) {
  const std::vector<std::string> batches = SummaryBatches(Dict({{"FGroupByAppUser", "0"}, {"FChkLevel", 1}}));
  // Rollup, numbers and names, the subtotal labels, the final select: no total label.
  ASSERT_EQ(batches.size(), 4u);
  EXPECT_EQ(batches[2],
            "Update #TmpResult2 Set FAppUserName=ISNULL(FAppUserName,'')+'(小计)' WHERE FSumSort=102\r\n");
}

TEST(Rpt2010007Summary, FieldsNotGroupedComeFromTheDetailRowsAfterTheApplyingDepartment) {
  const std::vector<std::string> batches = SummaryBatches(Dict({{"FGroupBySupply", "0"}, {"FGroupByItem", "N"}}));
  EXPECT_EQ(batches.back().substr(0, batches.back().find("     apt.FDate")),
            "Select tmp2.FSupplyID,tmp2.FSupplyNumber,tmp2.FSupplyName,\r\n"
            "apt.FAppUserID,apt.FAppUserNumber,apt.FAppUserName,apt.FUseDeptID,apt.FUseDeptNumber,apt.FUseDeptName,\r\n"
            "apt.FAppDeptID, apt.FAppDeptNumber, apt.FAppDeptName,\r\n");
}

// Contradicting or impossible choices stop the call before any batch runs,
// with an error that names the keys to change.
TEST(Rpt2010007Refused, BothViewsOrNeither) {
  for (const ConditionDictionary& dct :
       {Dict({{"FApplicationSource", 1}}), Dict({{"FAppSource", "1"}, {"FApplicationSource", -1}}),
        Dict({{"FAppSource", 0}}), Dict({{"FAppSource", Variant::Null()}, {"FApplicationSource", 0}})}) {
    try {
      ReadView(dct);
      ADD_FAILURE() << "no error";
    } catch (const platform::AutomationError& e) {
      EXPECT_EQ(e.number(), platform::kErrInvalidProcedureCall);
      EXPECT_NE(e.description().find("FAppSource"), std::string::npos) << e.description();
      EXPECT_NE(e.description().find("FApplicationSource"), std::string::npos) << e.description();
    }
  }
  EXPECT_EQ(ReadView(Dict({})), View::Application);
  EXPECT_EQ(ReadView(Dict({{"FAppSource", Variant::Null()}, {"FApplicationSource", "1"}})), View::Source);
  test::ExpectRaises([] { ReadView(Dict({{"FAppSource", "yes"}})); }, platform::kErrTypeMismatch);
}

TEST(Rpt2010007Refused, NoGroupFieldWhereTheTotalLabelNeedsOne) {
  for (View view : {View::Application, View::Source}) {
    try {
      toolkit::CheckSummaryConditions(SummaryParameters(view), Dict({{"FGroupByItem", "N"}}));
      ADD_FAILURE() << "no error";
    } catch (const platform::AutomationError& e) {
      EXPECT_EQ(e.number(), platform::kErrInvalidProcedureCall);
      EXPECT_NE(e.description().find("FGroupByItem, FGroupBySupply, FGroupByAppUser or FGroupByUseDept"),
                std::string::npos)
          << e.description();
    }
  }
  test::ExpectRaises([] { SummaryBatches(Dict({{"FChkLevel", 1}, {"FLvlFrom", 1}, {"FLvlTo", 2}})); },
                     platform::kErrSubscriptOutOfRange);
}

}  // namespace
}  // namespace orv::reports::rpt2010007
