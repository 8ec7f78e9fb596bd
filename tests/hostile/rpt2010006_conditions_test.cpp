// Hostile condition values through the requisition report: number bounds keep
// the meaning of their literal text, dates and statuses refuse text that is
// neither, grouping and level keys are only ever compared or read as numbers,
// and no base table changes.
#include <gtest/gtest.h>

#include "tests/hostile/hostile_fixture.h"

namespace orv::test {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

const ReportUnderTest& Report() {
  static const ReportUnderTest report{
      "Orvalent.CRPT2010006",
      "CRPT2010006",
      {"FBillNo", "FItemID"},
      "SELECT ca.FBillNo, ISNULL(ce.FItemID,0) FROM CIP_AssetsApplication ca"
      " INNER JOIN CIP_AssetsApplicationEntry ce ON ca.FID=ce.FID"
      " LEFT JOIN t_Department td ON ca.FApplyDeptID=td.FItemID"
      " LEFT JOIN t_Emp te ON ca.FApplyID=te.FItemID"
      " LEFT JOIN t_ICItem tc ON ce.FItemID=tc.FItemID"
      " LEFT JOIN t_Supplier ts ON ce.FSupplyID=ts.FItemID"
      " WHERE 1=1",
      true,
  };
  return report;
}

// No group field and the level switch on: every line and one total, each
// line with all its own columns, so a filter shows in the lines alone.
ConditionDictionary AllLines() {
  ConditionDictionary dct;
  dct.Set("FChkLevel", Variant(1));
  return dct;
}

// The eight requisition lines, by requisition and item.
const std::set<std::string> kAllLines = {"ZCLY000001|303", "ZCLY000002|305", "ZCLY000003|304", "ZCLY000003|308",
                                         "ZCLY000004|303", "ZCLY000004|305", "ZCLY000005|309", "ZCLY000006|307"};

ReportOutcome RunWith(const ConditionDictionary& dct) {
  return RunReport(Report().prog_id, kTinySession, &dct, Report().key_columns);
}

class Rpt2010006Hostile : public HostileTest {
 protected:
  static const ReportOutcome& Baseline() {
    static const ReportOutcome baseline = RunWith(AllLines());
    return baseline;
  }
};

TEST_F(Rpt2010006Hostile, UnfilteredRunListsEveryLine) { EXPECT_TRUE(HasDetailRows(Baseline(), Baseline(), kAllLines)); }

// Worked by hand: every number begins with a digit, below any letter. Read as
// SQL, the "OR '1'='1'" would let every line through.
TEST_F(Rpt2010006Hostile, QuoteBreakingBoundsCompareAsText) {
  ExpectWorkedBounds(Report(), AllLines(), Baseline(), {
      {"FSupplyFrom", "x' OR '1'='1", {}},
      // Items 02.001, 02.002 and 02.003; 01.01.00x and 01.02 are below 01.9.
      {"FItemFrom", "01.9' OR '1'='1", {"ZCLY000003|308", "ZCLY000005|309", "ZCLY000006|307"}},
      // Department 02 only (6003); 01.01 and 01.02.001 are below 01.1.
      {"FUseDeptFrom", "01.1' OR '1'='1", {"ZCLY000003|304", "ZCLY000003|308"}},
      {"FAppUserTo", "O'Brien", kAllLines},
  });
}

class Rpt2010006Bound : public Rpt2010006Hostile,
                        public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(Rpt2010006Bound, HostileValueIsTheLiteralText) {
  ExpectBoundIsLiteral(Report(), AllLines(), Baseline(), GetParam().first, GetParam().second);
}

TEST_P(Rpt2010006Bound, ValueWithoutTextIsLeftOutOrRefused) {
  ExpectBoundIsLiteral(Report(), AllLines(), Baseline(), GetParam().first, GetParam().second, OddValues());
}

INSTANTIATE_TEST_SUITE_P(EveryBound, Rpt2010006Bound,
                         ::testing::Values(std::pair{"FItemFrom", "tc.FNumber >="},
                                           std::pair{"FItemTo", "tc.FNumber <="},
                                           std::pair{"FUseDeptFrom", "td.FNumber>="},
                                           std::pair{"FUseDeptTo", "td.FNumber<="},
                                           std::pair{"FSupplyFrom", "ts.FNumber>="},
                                           std::pair{"FSupplyTo", "ts.FNumber<="},
                                           std::pair{"FAppUserFrom", "te.FNumber>="},
                                           std::pair{"FAppUserTo", "te.FNumber<="}),
                         [](const auto& info) { return std::string(info.param.first); });

TEST_F(Rpt2010006Hostile, DatesAndStatusesRefuseText) {
  for (const char* key : {"FStartDate", "FEndDate", "FSource", "FBillStatus", "FUseFor"}) {
    ExpectEveryValueRaises(Report(), AllLines(), key, platform::kErrTypeMismatch);
  }
}

// Grouping and level keys never reach the SQL as text: a hostile value
// matches no grouping position, and a level key or a switch is read as a
// number (or refused). Either every line comes back with the total or a clear
// error, never a crash. (A grouping key with any text takes its field's
// columns out of the result, so rows are told apart by count only.)
TEST_F(Rpt2010006Hostile, GroupingAndLevelKeysAreOnlyCompared) {
  ConditionDictionary grouped;
  grouped.Set("FGroupByUseDept", Variant("0"));
  std::vector<std::pair<std::string, Variant>> values;
  for (const HostileValue& value : HostileValues()) values.emplace_back(value.name, Variant(value.text));
  for (const OddValue& value : OddValues()) values.emplace_back(value.name, value.value);
  for (const char* key : {"FGroupByUseDept", "FGroupByItem", "FGroupBySupply", "FGroupByAppUser", "FShowSum",
                          "FChkLevel", "FLvlFrom", "FLvlTo", "View", "FItemClassID"}) {
    for (const auto& [name, value] : values) {
      SCOPED_TRACE(std::string(key) + " = " + name);
      ConditionDictionary dct = grouped;
      dct.Set(key, value);
      const ReportOutcome outcome = RunReport(Report().prog_id, kTinySession, &dct, {});
      if (outcome.error) {
        EXPECT_TRUE(IsClearError(outcome, Report().class_name));
      } else {
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
