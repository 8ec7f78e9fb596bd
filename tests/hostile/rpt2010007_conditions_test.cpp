// Hostile condition values through the application tracking report: number
// bounds keep the meaning of their literal text on either document side,
// dates, states and the view keys refuse text that is none of them, and no
// base table changes.
#include <gtest/gtest.h>

#include "tests/hostile/hostile_fixture.h"

namespace orv::test {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

// The application view with every application line, executed or not.
const ReportUnderTest& ApplicationView() {
  static const ReportUnderTest report{
      "Orvalent.CRPT2010007",
      "CRPT2010007",
      {"FBillNo", "FItemID"},
      "SELECT aa.FBillNo, ISNULL(ae.FItemID,0) FROM AA_AssetsApp aa"
      " INNER JOIN AA_AssetsAppEntry ae ON aa.FID=ae.FID"
      " LEFT JOIN t_Department td ON aa.FAppDeptID=td.FItemID"
      " LEFT JOIN t_Department td2 ON aa.FUseDeptID=td2.FItemID"
      " LEFT JOIN t_Emp te ON aa.FAppUserID=te.FItemID"
      " LEFT JOIN t_ICItem tc ON ae.FItemID=tc.FItemID"
      " LEFT JOIN t_Supplier ts ON ae.FSupplyID=ts.FItemID"
      " WHERE 1=1",
      true,
  };
  return report;
}

// The source view: its rows have no bill number, day and item tell them apart.
const ReportUnderTest& SourceView() {
  static const ReportUnderTest report{"Orvalent.CRPT2010007", "CRPT2010007", {"FDate", "FItemID"}, "", true};
  return report;
}

// No group field and the level switch on: every line and one total.
ConditionDictionary AllApplicationLines() {
  ConditionDictionary dct;
  dct.Set("FChkLevel", Variant(1));
  dct.Set("FShowUnDo", Variant(1));
  return dct;
}

ConditionDictionary AllSourceLines() {
  ConditionDictionary dct;
  dct.Set("FChkLevel", Variant(1));
  dct.Set("FAppSource", Variant(0));
  dct.Set("FApplicationSource", Variant(1));
  return dct;
}

const std::set<std::string> kApplicationLines = {"ZCSQ000001|303", "ZCSQ000001|305", "ZCSQ000002|304",
                                                 "ZCSQ000003|308", "ZCSQ000004|305"};

class Rpt2010007Hostile : public HostileTest {
 protected:
  static const ReportOutcome& ApplicationBaseline() {
    static const ConditionDictionary dct = AllApplicationLines();
    static const ReportOutcome baseline =
        RunReport(ApplicationView().prog_id, kTinySession, &dct, ApplicationView().key_columns);
    return baseline;
  }
  static const ReportOutcome& SourceBaseline() {
    static const ConditionDictionary dct = AllSourceLines();
    static const ReportOutcome baseline =
        RunReport(SourceView().prog_id, kTinySession, &dct, SourceView().key_columns);
    return baseline;
  }
};

TEST_F(Rpt2010007Hostile, UnfilteredRunsListEveryLine) {
  EXPECT_TRUE(HasDetailRows(ApplicationBaseline(), ApplicationBaseline(), kApplicationLines));
  EXPECT_EQ(SourceBaseline().details.size(), 7u);
}

// Worked by hand: every number begins with a digit, below any letter. Read as
// SQL, the "OR '1'='1'" would let every line through.
TEST_F(Rpt2010007Hostile, QuoteBreakingBoundsCompareAsText) {
  ExpectWorkedBounds(ApplicationView(), AllApplicationLines(), ApplicationBaseline(), {
      {"FSupplyFrom", "x' OR '1'='1", {}},
      // Item 02.002; 01.01.00x and 01.02 are below 01.9.
      {"FItemFrom", "01.9' OR '1'='1", {"ZCSQ000003|308"}},
      // Applying department 02 (3002, 3004); 01.01 is below 01.1.
      {"FAppDeptFrom", "01.1' OR '1'='1", {"ZCSQ000002|304", "ZCSQ000004|305"}},
      {"FAppUserTo", "O'Brien", kApplicationLines},
  });
  ExpectWorkedBounds(SourceView(), AllSourceLines(), SourceBaseline(), {
      // Item 01.01.001: 3001/1; its requisitions 6001/1 and 6004/1 reach applications.
      {"FItemTo", "01.01.001' OR '1'='1", {"2024-01-02|303"}},
      // Department 02: 3002/1; requisition 6003 passes too but reaches 3002.
      {"FUseDeptFrom", "01.1' OR '1'='1", {"2024-01-15|304"}},
      // Every supplier number is below O; supplier 999 of 6006/1 has none.
      {"FSupplyTo", "O'Neil",
       {"2024-01-02|303", "2024-01-02|305", "2024-01-15|304", "2024-02-01|308", "2024-02-25|305", "2024-03-18|309"}},
  });
}

class Rpt2010007Bound : public Rpt2010007Hostile,
                        public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(Rpt2010007Bound, HostileValueIsTheLiteralText) {
  ExpectBoundIsLiteral(ApplicationView(), AllApplicationLines(), ApplicationBaseline(), GetParam().first,
                       GetParam().second);
}

TEST_P(Rpt2010007Bound, ValueWithoutTextIsLeftOutOrRefused) {
  ExpectBoundIsLiteral(ApplicationView(), AllApplicationLines(), ApplicationBaseline(), GetParam().first,
                       GetParam().second, OddValues());
}

INSTANTIATE_TEST_SUITE_P(EveryBound, Rpt2010007Bound,
                         ::testing::Values(std::pair{"FItemFrom", "tc.FNumber >="},
                                           std::pair{"FItemTo", "tc.FNumber <="},
                                           std::pair{"FAppDeptFrom", "td.FNumber>="},
                                           std::pair{"FAppDeptTo", "td.FNumber<="},
                                           std::pair{"FUseDeptFrom", "td2.FNumber>="},
                                           std::pair{"FUseDeptTo", "td2.FNumber<="},
                                           std::pair{"FSupplyFrom", "ts.FNumber>="},
                                           std::pair{"FSupplyTo", "ts.FNumber<="},
                                           std::pair{"FAppUserFrom", "te.FNumber>="},
                                           std::pair{"FAppUserTo", "te.FNumber<="}),
                         [](const auto& info) { return std::string(info.param.first); });

TEST_F(Rpt2010007Hostile, DatesStatesAndViewKeysRefuseText) {
  for (const char* key : {"FStartDate", "FEndDate", "FBillStatus", "FCloseStatus", "FAppSource"}) {
    ExpectEveryValueRaises(ApplicationView(), AllApplicationLines(), key, platform::kErrTypeMismatch);
  }
  ExpectEveryValueRaises(SourceView(), AllSourceLines(), "FApplicationSource", platform::kErrTypeMismatch);
}

TEST_F(Rpt2010007Hostile, OddViewKeysGiveOneViewOrAClearError) {
  ExpectOddValuesHandled(SourceView(), AllSourceLines(), SourceBaseline(), "FApplicationSource");
  ExpectOddValuesHandled(ApplicationView(), AllApplicationLines(), ApplicationBaseline(), "FShowUnDo");
}

}  // namespace
}  // namespace orv::test
