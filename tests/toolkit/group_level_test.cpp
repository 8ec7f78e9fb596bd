// Group-field resolution and the choice of level batch: positions decide the
// order, shared positions keep table order, the currency view leads with the
// currency, and errors come back with the routine's own source.
#include <gtest/gtest.h>

#include "platform/automation_error.h"
#include "tests/toolkit/condition_dict.h"
#include "tests/toolkit/expect_raises.h"
#include "toolkit/report_toolkit.h"

namespace orv::toolkit {
namespace {

using platform::ConditionDictionary;
using platform::Variant;
using test::Dict;

TEST(GetGroupField, NoGroupingKeyLeavesTheReportIdentifier) {
  EXPECT_EQ(GetGroupField(ConditionDictionary(), true), "T1.FRptID,");
}

TEST(GetGroupField, PositionsDecideNotTableOrder) {
  EXPECT_EQ(GetGroupField(Dict({{"FGroupBySupply", "1"}, {"FGroupByExpense", "0"}}), true),
            "T1.FFeeID,T1.FSupplyID,T1.FRptID,");
  // A number compares with the position as its text would.
  EXPECT_EQ(GetGroupField(Dict({{"GroupByEmp", 0}, {"GroupByDep", int16_t{1}}}), false),
            "T1.FEmpID,T1.FDeptID,T1.FRptID,");
}

TEST(GetGroupField, SamePositionKeepsTableOrderAndTwoKeyRowsAppendOnce) {
  EXPECT_EQ(GetGroupField(Dict({{"FGroupByCurrency", "0"}, {"FGroupByItem", "0"}}), true),
            "T1.FItemID,T1.FCurrencyID,T1.FRptID,");
  EXPECT_EQ(GetGroupField(Dict({{"FGroupBySupply", "0"}, {"FGroupBySupplyType", "0"}}), true),
            "T1.FSupplyID,T1.FRptID,");
}

TEST(GetGroupField, PositionsRunFromZeroToEighteen) {
  EXPECT_EQ(GetGroupField(Dict({{"GroupByItemClass", "18"}, {"GroupByMgAcct", "19"}, {"GroupByExp", ""}}), true),
            "T1.FItemClassID,t1.FItemID,T1.FRptID,");
  EXPECT_EQ(GetGroupField(Dict({{"FGroupBySupAndExp", "4"}}), true), "T1.FFeeID,T1.FSupplyID,T1.FRptID,");
}

TEST(GetGroupField, CurrencyViewPutsTheCurrencyFirstOnce) {
  EXPECT_EQ(GetGroupField(Dict({{"View", 1}, {"FGroupByCurrency", "2"}, {"FGroupBySupply", "0"}}), true),
            "T1.FCurrencyID,T1.FSupplyID,T1.FRptID,");
  EXPECT_EQ(GetGroupField(Dict({{"View", "1"}, {"FGroupBySupply", "0"}}), true),
            "T1.FCurrencyID,T1.FSupplyID,T1.FRptID,");
}

TEST(GetGroupField, ErrorsCarryTheRoutineAsSource) {
  test::ExpectRaises([] { GetGroupField(Dict({{"View", "all"}}), true); }, platform::kErrTypeMismatch,
                     "\r\nOrvalent.ModPubRPT_Mid.GetGroupField");
}

TEST(GetLvlSQL, NoGroupingKeyGivesNoBatchAndKeepsTheCode) {
  int32_t code = 0;
  EXPECT_EQ(GetLvlSQL(ConditionDictionary(), code), "");
  EXPECT_EQ(code, 0);
  code = -7;
  EXPECT_EQ(GetLvlSQL(Dict({{"FGroupByExpenseType", "3"}}), code), "");
  EXPECT_EQ(code, -7);
}

TEST(GetLvlSQL, SupplierGroupingBuildsTheSupplierLevels) {
  const ConditionDictionary dct = Dict({{"FGroupBySupAndExp", "4"}, {"FLvlFrom", 1}, {"FLvlTo", 2}});
  int32_t code = 0;
  EXPECT_EQ(GetLvlSQL(dct, code), GetItemLevelSQL(8, &dct, 0));
  EXPECT_EQ(code, 8);
}

TEST(GetLvlSQL, FirstRuleThatHoldsWins) {
  int32_t code = 0;
  GetLvlSQL(Dict({{"FGroupByExpense", "2"}, {"FGroupByItem", "0"}}), code);
  EXPECT_EQ(code, 4);
  GetLvlSQL(Dict({{"FGroupByExpense", "2"}}), code);
  EXPECT_EQ(code, 2014);
  code = 0;
  EXPECT_EQ(GetLvlSQL(Dict({{"GroupByMgAcct", "0"}}), code), "");
  EXPECT_EQ(code, -1);
}

TEST(GetLvlSQL, ItemClassGroupingBuildsWithTheClassAndReportsTenTimesIt) {
  const ConditionDictionary dct = Dict({{"FGroupByItemClass", "0"}, {"FItemClass", "3"}});
  int32_t code = 0;
  EXPECT_EQ(GetLvlSQL(dct, code), GetItemLevelSQL(3, &dct, 0));
  EXPECT_EQ(code, 30);
}

TEST(GetLvlSQL, CurrencyGroupingWithoutClassBuildsAccountLevels) {
  int32_t code = 0;
  EXPECT_EQ(GetLvlSQL(Dict({{"FGroupByCurrency", "0"}, {"LvlFrom", 2}, {"LvlTo", "3"}}), code),
            GetMgAcctLevelSQL(2, 3));
  EXPECT_EQ(code, 0);
}

TEST(GetLvlSQL, BadNumbersRaiseWithTheRoutineAsSource) {
  const std::pair<ConditionDictionary, int32_t> cases[] = {
      {Dict({{"FGroupByItemClass", "0"}, {"FItemClass", "tools"}}), platform::kErrTypeMismatch},
      {Dict({{"FGroupByItemClass", "0"}, {"FItemClass", 300000000}}), platform::kErrOverflow},
      {Dict({{"FGroupByCurrency", "0"}, {"LvlFrom", "one"}}), platform::kErrTypeMismatch},
  };
  for (const auto& [dct, number] : cases) {
    int32_t code = 0;
    const ConditionDictionary& conditions = dct;  // clang 14 lambdas take no structured bindings
    test::ExpectRaises([&] { GetLvlSQL(conditions, code); }, number, "\r\nOrvalent.modPubRpt_Mid.GetLvlSQL");
  }
}

}  // namespace
}  // namespace orv::toolkit
