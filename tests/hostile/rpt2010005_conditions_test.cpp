// Hostile condition values through the procurement order execution report:
// number bounds keep the meaning of their literal text, dates and statuses
// refuse text that is neither, unchecked date ranges ignore it, and no base
// table changes.
#include <gtest/gtest.h>

#include "tests/hostile/hostile_fixture.h"

namespace orv::test {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

const ReportUnderTest& Report() {
  static const ReportUnderTest report{
      "Orvalent.CRPT2010005",
      "CRPT2010005",
      {"FBillNo", "FItemNumber"},
      "SELECT aa.FBillNo, ISNULL(tc.FNumber,'') FROM AA_AssetsProcurement aa"
      " INNER JOIN AA_AssetsProcurementEntry ae ON aa.FID=ae.FID"
      " LEFT JOIN t_Department td ON aa.FProcurementID=td.FItemID"
      " LEFT JOIN t_Emp te ON aa.FEmployeeID=te.FItemID"
      " LEFT JOIN t_ICItem tc ON ae.FItemID=tc.FItemID"
      " LEFT JOIN t_Supplier ts ON aa.FSupplyID=ts.FItemID"
      " WHERE aa.FMultiCheckStatus=16",
  };
  return report;
}

// Every status set to "all lines" and both date ranges unchecked, so that
// only the condition under test filters.
ConditionDictionary Unfiltered() {
  ConditionDictionary dct;
  dct.Set("FChkBillDate", Variant(0));
  dct.Set("FChkDeliveryDate", Variant(0));
  dct.Set("FBillRowStatus", Variant(4));
  for (const char* key : {"FDeliveryStatus", "FAcceptanceStatus", "FInvoiceStatus", "FSettleStatus"}) {
    dct.Set(key, Variant(2));
  }
  return dct;
}

// The five lines of the audited orders 2001 to 2003 (2003/1 names a missing item).
const std::set<std::string> kAllLines = {"ZCCG000001|01.01.001", "ZCCG000001|01.02", "ZCCG000002|02.002",
                                         "ZCCG000003|", "ZCCG000003|02.001"};

ReportOutcome RunWith(const ConditionDictionary& dct) {
  return RunReport(Report().prog_id, kTinySession, &dct, Report().key_columns);
}

class Rpt2010005Hostile : public HostileTest {
 protected:
  static const ReportOutcome& Baseline() {
    static const ReportOutcome baseline = RunWith(Unfiltered());
    return baseline;
  }
};

TEST_F(Rpt2010005Hostile, UnfilteredRunListsEveryAuditedLine) {
  EXPECT_TRUE(HasDetailRows(Baseline(), Baseline(), kAllLines));
}

// Worked by hand: order numbers begin with letters and the other numbers with
// digits, so these bounds lie above or below all of them. Read as SQL, the
// "OR '1'='1'" would let every line through.
TEST_F(Rpt2010005Hostile, QuoteBreakingBoundsCompareAsText) {
  ExpectWorkedBounds(Report(), Unfiltered(), Baseline(), {
      {"FProcurementFrom", "ZZ' OR '1'='1", {}},
      {"FProcurementTo", "ZZ' OR '1'='1", kAllLines},
      {"FDeptFrom", "x' OR '1'='1", {}},
      // Employee 204 ("02") of order 2003 only.
      {"FEmpFrom", "01.9' OR '1'='1", {"ZCCG000003|", "ZCCG000003|02.001"}},
      {"FItemTo", "O'Brien", {"ZCCG000001|01.01.001", "ZCCG000001|01.02", "ZCCG000002|02.002", "ZCCG000003|02.001"}},
  });
}

class Rpt2010005Bound : public Rpt2010005Hostile, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(Rpt2010005Bound, HostileValueIsTheLiteralText) {
  ExpectBoundIsLiteral(Report(), Unfiltered(), Baseline(), GetParam().first, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(EveryBound, Rpt2010005Bound,
                         ::testing::Values(std::pair{"FSupplyFrom", "ts.FNumber>="},
                                           std::pair{"FSupplyTo", "ts.FNumber<="},
                                           std::pair{"FProcurementFrom", "aa.FBillNo>="},
                                           std::pair{"FProcurementTo", "aa.FBillNo<="},
                                           std::pair{"FItemFrom", "tc.FNumber >="},
                                           std::pair{"FItemTo", "tc.FNumber <="},
                                           std::pair{"FEmpFrom", "te.FNumber>="}, std::pair{"FEmpTo", "te.FNumber<="},
                                           std::pair{"FDeptFrom", "td.FNumber>="},
                                           std::pair{"FDeptTo", "td.FNumber<="}),
                         [](const auto& info) { return std::string(info.param.first); });

TEST_P(Rpt2010005Bound, ValueWithoutTextIsLeftOutOrRefused) {
  ExpectBoundIsLiteral(Report(), Unfiltered(), Baseline(), GetParam().first, GetParam().second, OddValues());
}

// A checked range formats its dates, and text that is no date is a type mismatch.
TEST_F(Rpt2010005Hostile, CheckedDateRangesRefuseText) {
  ConditionDictionary bill = Unfiltered();
  bill.Set("FChkBillDate", Variant(1));
  ExpectEveryValueRaises(Report(), bill, "FBillStartDate", platform::kErrTypeMismatch);
  ExpectEveryValueRaises(Report(), bill, "FBillEndDate", platform::kErrTypeMismatch);
  ConditionDictionary delivery = Unfiltered();
  delivery.Set("FChkDeliveryDate", Variant(1));
  ExpectEveryValueRaises(Report(), delivery, "FDeliveryStartDate", platform::kErrTypeMismatch);
  ExpectEveryValueRaises(Report(), delivery, "FDeliveryEndDate", platform::kErrTypeMismatch);
}

TEST_F(Rpt2010005Hostile, UncheckedDateRangesIgnoreText) {
  for (const HostileValue& value : HostileValues()) {
    SCOPED_TRACE(value.name);
    ConditionDictionary dct = Unfiltered();
    for (const char* key : {"FBillStartDate", "FBillEndDate", "FDeliveryStartDate", "FDeliveryEndDate"}) {
      dct.Set(key, Variant(value.text));
    }
    EXPECT_TRUE(HasDetailRows(RunWith(dct), Baseline(), kAllLines));
  }
}

// Edge dates, NaN, objects: refused or used, never a crash.
TEST_F(Rpt2010005Hostile, OddDatesAndStatusesNeverCrash) {
  ConditionDictionary checked = Unfiltered();
  checked.Set("FChkBillDate", Variant(1));
  checked.Set("FChkDeliveryDate", Variant(1));
  for (const char* key : {"FBillStartDate", "FBillEndDate", "FDeliveryStartDate", "FDeliveryEndDate"}) {
    ExpectOddValuesHandled(Report(), checked, Baseline(), key);
  }
  for (const char* key : {"FChkBillDate", "FChkDeliveryDate", "FBillRowStatus", "FDeliveryStatus",
                          "FAcceptanceStatus", "FInvoiceStatus", "FSettleStatus"}) {
    ExpectOddValuesHandled(Report(), Unfiltered(), Baseline(), key);
  }
}

// Statuses and check boxes are compared with numbers: text that is none is a type mismatch.
TEST_F(Rpt2010005Hostile, StatusKeysRefuseText) {
  for (const char* key : {"FChkBillDate", "FChkDeliveryDate", "FBillRowStatus", "FDeliveryStatus",
                          "FAcceptanceStatus", "FInvoiceStatus", "FSettleStatus"}) {
    ExpectEveryValueRaises(Report(), Unfiltered(), key, platform::kErrTypeMismatch);
  }
}

}  // namespace
}  // namespace orv::test
