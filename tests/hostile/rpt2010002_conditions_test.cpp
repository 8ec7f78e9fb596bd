// Hostile condition values through the expense invoice report: number bounds
// keep the meaning of their literal text, dates and statuses refuse text that
// is neither, grouping and level keys are only ever compared or read as
// numbers, and no base table changes.
#include <gtest/gtest.h>

#include "tests/hostile/hostile_fixture.h"

namespace orv::test {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

const ReportUnderTest& Report() {
  static const ReportUnderTest report{
      "Orvalent.CRPT2010002",
      "CRPT2010002",
      {"FBillNo", "FFeeID"},
      "SELECT aa.FBillNo, ISNULL(ae.FExpenseID,0) FROM AA_AssetsExpenseInvoice aa"
      " INNER JOIN AA_AssetsExpenseInvoiceEntry ae ON aa.FID=ae.FID"
      " LEFT JOIN t_Supplier ts ON aa.FSupplyID=ts.FItemID"
      " LEFT JOIN t_Fee tf ON ae.FExpenseID=tf.FItemID"
      " WHERE 1=1",
  };
  return report;
}

// The six expense invoice lines, by invoice and fee.
const std::set<std::string> kAllLines = {"ZCFY000001|502", "ZCFY000001|503", "ZCFY000002|502",
                                         "ZCFY000003|999", "ZCFY000004|504", "ZCFY000004|502"};

ReportOutcome RunWith(const ConditionDictionary& dct) {
  return RunReport(Report().prog_id, kTinySession, &dct, Report().key_columns);
}

class Rpt2010002Hostile : public HostileTest {
 protected:
  static const ReportOutcome& Baseline() {
    static const ReportOutcome baseline = RunWith(ConditionDictionary());
    return baseline;
  }
};

TEST_F(Rpt2010002Hostile, UnfilteredRunListsEveryLine) { EXPECT_TRUE(HasDetailRows(Baseline(), Baseline(), kAllLines)); }

// Worked by hand: supplier and fee numbers are digits or empty, below any
// letter. Read as SQL, the "OR '1'='1'" would let every line through.
TEST_F(Rpt2010002Hostile, QuoteBreakingBoundsCompareAsText) {
  ExpectWorkedBounds(Report(), ConditionDictionary(), Baseline(), {
      {"FSupplyFrom", "x' OR '1'='1", {}},
      {"FExpenseFrom", "01.9' OR '1'='1", {"ZCFY000001|503"}},  // fee 02 only
      {"FExpenseTo", "O'Brien", {"ZCFY000001|502", "ZCFY000001|503", "ZCFY000002|502", "ZCFY000004|504",
                                 "ZCFY000004|502"}},
  });
}

class Rpt2010002Bound : public Rpt2010002Hostile,
                        public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(Rpt2010002Bound, HostileValueIsTheLiteralText) {
  ExpectBoundIsLiteral(Report(), ConditionDictionary(), Baseline(), GetParam().first, GetParam().second);
}

TEST_P(Rpt2010002Bound, ValueWithoutTextIsLeftOutOrRefused) {
  ExpectBoundIsLiteral(Report(), ConditionDictionary(), Baseline(), GetParam().first, GetParam().second,
                       OddValues());
}

INSTANTIATE_TEST_SUITE_P(EveryBound, Rpt2010002Bound,
                         ::testing::Values(std::pair{"FExpenseFrom", "tf.FNumber >="},
                                           std::pair{"FExpenseTo", "tf.FNumber <="},
                                           std::pair{"FSupplyFrom", "ts.FNumber>="}),
                         [](const auto& info) { return std::string(info.param.first); });

TEST_F(Rpt2010002Hostile, DatesAndStatusesRefuseText) {
  for (const char* key : {"FStartDate", "FEndDate", "FBillStatus", "FHookStatus"}) {
    ExpectEveryValueRaises(Report(), ConditionDictionary(), key, platform::kErrTypeMismatch);
  }
}

// Grouping and level keys never reach the SQL as text: a hostile value
// matches no grouping position, and a level key or the summary switch is
// read as a number (or refused). Either every line comes back or a clear
// error, never a crash. (Rows are told apart whole: a grouping key with any
// text takes its field's columns out of the result.)
TEST_F(Rpt2010002Hostile, GroupingAndLevelKeysAreOnlyCompared) {
  ConditionDictionary grouped;
  grouped.Set("FChkGroupBy", Variant(1));
  grouped.Set("FGroupBySupply", Variant("0"));
  std::vector<std::pair<std::string, Variant>> values;
  for (const HostileValue& value : HostileValues()) values.emplace_back(value.name, Variant(value.text));
  for (const OddValue& value : OddValues()) values.emplace_back(value.name, value.value);
  for (const char* key : {"FGroupBySupply", "FGroupByExpense", "FGroupByExpenseType", "FShowSum", "FLvlFrom",
                          "FLvlTo", "FChkGroupBy", "View", "FItemClassID"}) {
    for (const auto& [name, value] : values) {
      SCOPED_TRACE(std::string(key) + " = " + name);
      ConditionDictionary dct = grouped;
      dct.Set(key, value);
      const ReportOutcome outcome = RunReport(Report().prog_id, kTinySession, &dct, {});
      if (outcome.error) {
        EXPECT_TRUE(IsClearError(outcome, Report().class_name));
      } else {
        // Only the summary switch may leave the detail lines out.
        if (std::string_view(key) != "FShowSum") {
          EXPECT_EQ(outcome.details.size(), kAllLines.size());
        }
        EXPECT_EQ(outcome.totals.size(), 1u);
      }
    }
  }
}

}  // namespace
}  // namespace orv::test
