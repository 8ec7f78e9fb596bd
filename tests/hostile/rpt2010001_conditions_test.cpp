// Hostile condition values through the purchase invoice report: every range
// bound keeps the meaning of its literal text, the status keys and the sort
// list refuse what they cannot use, and no base table changes.
#include <gtest/gtest.h>

#include "platform/connection.h"
#include "tests/hostile/hostile_fixture.h"

namespace orv::test {
namespace {

using platform::ConditionDictionary;
using platform::Variant;
using namespace std::string_literals;

const ReportUnderTest& Report() {
  static const ReportUnderTest report{
      "Orvalent.CRPT2010001",
      "CRPT2010001",
      {"FInvoiceNumber", "FItemNumber"},
      "SELECT u.FBillNo, ite.FNumber FROM ICPurChase u"
      " INNER JOIN ICPurChaseEntry v ON u.FInterID=v.FInterID"
      " LEFT JOIN t_Supplier sup ON u.FSupplyID=sup.FItemID"
      " LEFT JOIN t_ICItem ite ON v.FItemID=ite.FItemID"
      " LEFT JOIN t_Currency cur ON u.FCurrencyID=cur.FCurrencyID"
      " WHERE u.FSubSystemID=3",
  };
  return report;
}

// The seven asset invoice lines of the tiny database (invoices 1001 to 1005).
const std::set<std::string> kAllLines = {
    "ZPOFP000001|01.01.001", "ZPOFP000001|01.02",     "ZPOFP000002|02.002", "ZPOFP000003|02.001",
    "ZPOFP000003|01.01.002", "ZPOFP000004|01.01.001", "ZPOFP000005|01.02",
};

ReportOutcome RunWith(const ConditionDictionary& dct) {
  return RunReport(Report().prog_id, kTinySession, &dct, Report().key_columns);
}

class Rpt2010001Hostile : public HostileTest {
 protected:
  static const ReportOutcome& Baseline() {
    static const ReportOutcome baseline = RunWith(ConditionDictionary());
    return baseline;
  }
};

TEST_F(Rpt2010001Hostile, UnfilteredRunListsEveryAssetInvoiceLine) {
  EXPECT_TRUE(HasDetailRows(Baseline(), Baseline(), kAllLines));
}

// Worked by hand: numbers are digits and dots, so a bound that begins with a
// letter lies above all of them and "0'" below all of them. Were the text
// after the quote read as SQL, "OR '1'='1'" would let every line through.
TEST_F(Rpt2010001Hostile, QuoteBreakingBoundsCompareAsText) {
  ExpectWorkedBounds(Report(), ConditionDictionary(), Baseline(), {
      {"FSupplyFrom", "x' OR '1'='1", {}},
      {"FSupplyTo", "x' OR '1'='1", kAllLines},
      {"FSupplyFrom", "0' OR '1'='1", kAllLines},
      {"FSupplyTo", "0' OR '1'='1", {}},
      {"FItemFrom", "O'Brien", {}},
      {"FItemTo", "O'Brien", kAllLines},
      // 02.001 (two trailing blanks) of supplier 405 and 01.002 of 403.
      {"FSupplyFrom", "01.002", {"ZPOFP000002|02.002", "ZPOFP000003|02.001", "ZPOFP000003|01.01.002"}},
  });
}

class Rpt2010001Bound : public Rpt2010001Hostile, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(Rpt2010001Bound, HostileValueIsTheLiteralText) {
  ExpectBoundIsLiteral(Report(), ConditionDictionary(), Baseline(), GetParam().first, GetParam().second);
}

// The dates are spliced as text too; the database turns them into dates, so
// hostile text fails as a conversion, both in the report and in the oracle.
INSTANTIATE_TEST_SUITE_P(EveryBound, Rpt2010001Bound,
                         ::testing::Values(std::pair{"FBeginDate", "u.FDate>="}, std::pair{"FEndDate", "u.FDate<="},
                                           std::pair{"FItemFrom", "ite.FNumber>="},
                                           std::pair{"FItemTo", "ite.FNumber<="},
                                           std::pair{"FSupplyFrom", "sup.FNumber>="},
                                           std::pair{"FSupplyTo", "sup.FNumber<="},
                                           std::pair{"FCurrencyFrom", "cur.FNumber>="},
                                           std::pair{"FCurrencyTo", "cur.FNumber<="}),
                         [](const auto& info) { return std::string(info.param.first); });

TEST_P(Rpt2010001Bound, ValueWithoutTextIsLeftOutOrRefused) {
  ExpectBoundIsLiteral(Report(), ConditionDictionary(), Baseline(), GetParam().first, GetParam().second, OddValues());
}

// A status is compared with 0 and 1 as a number: text that is none is a type mismatch.
TEST_F(Rpt2010001Hostile, StatusKeysRefuseText) {
  ExpectEveryValueRaises(Report(), ConditionDictionary(), "FBillStatus", platform::kErrTypeMismatch);
  ExpectEveryValueRaises(Report(), ConditionDictionary(), "FHookStatus", platform::kErrTypeMismatch);
}

TEST_F(Rpt2010001Hostile, OddStatusAndSortValuesNeverCrash) {
  for (const char* key : {"FBillStatus", "FHookStatus", "SortFields"}) {
    ExpectOddValuesHandled(Report(), ConditionDictionary(), Baseline(), key);
  }
}

// The sort list stands bare after ORDER BY, so anything but column names and
// directions is refused before a batch reaches the database.
TEST_F(Rpt2010001Hostile, SortFieldsRefuseAnythingButColumns) {
  std::vector<HostileValue> values = HostileValues();
  for (const char* text :
       {"FDate; DROP TABLE t_Supplier", "FDate--", "FDate /* x */", "FDate,(SELECT 1)", "1", "FDate DESC DESC",
        "FDate ASC;", "FDate COLLATE Latin1_General_BIN", "FDate\tDESC", "FDate,", ",FDate", "FTaxAmount",
        "FSumSort DESC, FDate'"}) {
    values.push_back({text, text});
  }
  values.push_back({"column then NUL", "FDate\0; DELETE FROM t_Emp"s});
  std::vector<std::string> batches;
  platform::SetExecuteObserver([&batches](std::string_view batch) { batches.emplace_back(batch); });
  for (const HostileValue& value : values) {
    SCOPED_TRACE("SortFields = " + value.name);
    batches.clear();
    ConditionDictionary dct;
    dct.Set("SortFields", Variant(value.text));
    const ReportOutcome outcome = RunWith(dct);
    EXPECT_TRUE(IsClearError(outcome, Report().class_name));
    if (outcome.error) {
      EXPECT_EQ(outcome.error->number(), platform::kErrInvalidProcedureCall);
    }
    for (const std::string& batch : batches) {
      EXPECT_EQ(batch.find("ORDER BY"), std::string::npos) << "a batch ran";
    }
  }
  platform::SetExecuteObserver({});
}

TEST_F(Rpt2010001Hostile, SortFieldsOfColumnsStillWork) {
  for (const char* text : {"FDate", "FDate DESC", " fsupplynumber ,FItemNumber desc ", "FNote ASC,FQty"}) {
    SCOPED_TRACE(std::string("SortFields = ") + text);
    ConditionDictionary dct;
    dct.Set("SortFields", Variant(text));
    EXPECT_TRUE(HasDetailRows(RunWith(dct), Baseline(), kAllLines));
  }
}

}  // namespace
}  // namespace orv::test
