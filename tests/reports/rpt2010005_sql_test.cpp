// The procurement order execution batches and filter against hand-written
// golden files: no dictionary, every key empty, date groups, each status
// value, blanks kept in values and apostrophes doubled.
#include <gtest/gtest.h>

#include "platform/automation_error.h"
#include "reports/rpt2010005/sql_routines.h"
#include "tests/toolkit/expect_raises.h"
#include "tests/reports/golden.h"

namespace orv::reports::rpt2010005 {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

constexpr const char* kFilterKeys[] = {
    "FChkBillDate",   "FBillStartDate",  "FBillEndDate",      "FChkDeliveryDate", "FDeliveryStartDate",
    "FDeliveryEndDate", "FSupplyFrom",   "FSupplyTo",         "FProcurementFrom", "FProcurementTo",
    "FItemFrom",      "FItemTo",         "FEmpFrom",          "FEmpTo",           "FDeptFrom",
    "FDeptTo",        "FBillRowStatus",  "FDeliveryStatus",   "FAcceptanceStatus", "FInvoiceStatus",
    "FSettleStatus",
};

// Statuses that add nothing, so each test shows only its own predicates.
ConditionDictionary NoStatus(std::initializer_list<std::pair<const char*, Variant>> entries = {}) {
  ConditionDictionary dct;
  dct.Set("FBillRowStatus", 4);
  for (const char* key : {"FDeliveryStatus", "FAcceptanceStatus", "FInvoiceStatus", "FSettleStatus"}) dct.Set(key, 2);
  for (const auto& [key, value] : entries) dct.Set(key, value);
  return dct;
}

std::string Filter(const ConditionDictionary& dct) { return GetFilterSQL(&dct); }

TEST(Rpt2010005Batch, NoDictionaryLeavesOnlyTheLineBreakAfterWhere) {
  EXPECT_TRUE(test::MatchesGolden(GetDetailBatchSQL("chs", nullptr), "rpt2010005/detail_no_dictionary.sql"));
  EXPECT_EQ(GetFilterSQL(nullptr), "\r\n");
}

TEST(Rpt2010005Batch, EveryKeyEmptyChoosesTheZeroStatuses) {
  ConditionDictionary dct;
  for (const char* key : kFilterKeys) dct.Set(key, Variant());
  EXPECT_TRUE(test::MatchesGolden(GetFilterSQL(&dct), "rpt2010005/filter_all_keys_empty.sql"));
}

TEST(Rpt2010005Batch, EveryConditionInReadingOrder) {
  ConditionDictionary dct;
  dct.Set("FSettleStatus", 2);
  dct.Set("FInvoiceStatus", "1");
  dct.Set("FAcceptanceStatus", 0);
  dct.Set("FDeliveryStatus", 1);
  dct.Set("FBillRowStatus", 3);
  dct.Set("FDeptTo", "D03");
  dct.Set("FDeptFrom", "D01");
  dct.Set("FEmpTo", "E05");
  dct.Set("FEmpFrom", "E01");
  dct.Set("FItemTo", "01.99");
  dct.Set("FItemFrom", "01.01");
  dct.Set("FProcurementTo", "PO-999");
  dct.Set("FProcurementFrom", "PO-001");
  dct.Set("FSupplyTo", "S09");
  dct.Set("FSupplyFrom", "S01");
  dct.Set("FDeliveryEndDate", "2024-07-31");
  dct.Set("FDeliveryStartDate", "2024/2/1");
  dct.Set("FChkDeliveryDate", "1");
  dct.Set("FBillEndDate", "2024-06-30 00:00:00");
  dct.Set("FBillStartDate", "2024-1-1");
  dct.Set("FChkBillDate", 1);
  EXPECT_TRUE(test::MatchesGolden(GetFilterSQL(&dct), "rpt2010005/filter_all_conditions.sql"));
  // The batch carries the filter behind its WHERE line and ends the line after it.
  const std::string batch = GetDetailBatchSQL("chs", &dct);
  const std::string where = "Left Join t_Currency tcy On aa.FCurrencyID = tcy.FCurrencyID\r\n       WHERE 1=1 ";
  EXPECT_EQ(batch.substr(batch.size() - where.size() - GetFilterSQL(&dct).size() - 2),
            where + test::ReadGolden("rpt2010005/filter_all_conditions.sql") + "\r\n");
}

TEST(Rpt2010005Batch, TotalBatchLabelsTheTotalRow) {
  EXPECT_TRUE(test::MatchesGolden(GetTotalBatchSQL("chs"), "rpt2010005/total_chs.sql"));
}

TEST(Rpt2010005Filter, DateGroupsHoldTheBoundsThatAreGiven) {
  EXPECT_TRUE(test::MatchesGolden(Filter(NoStatus({{"FChkBillDate", 1},
                                                          {"FBillStartDate", "2024-3-5"},
                                                          {"FChkDeliveryDate", 2},
                                                          {"FDeliveryEndDate", "2024/07/31 00:00:00"}})),
                                  "rpt2010005/filter_date_one_bound.sql"));
  EXPECT_TRUE(test::MatchesGolden(
      Filter(NoStatus({{"FChkBillDate", "1"}, {"FBillStartDate", "2024-01-01"}, {"FBillEndDate", "2024-1-31"}})),
      "rpt2010005/filter_date_two_bounds.sql"));
}

TEST(Rpt2010005Filter, UncheckedDatesAreIgnored) {
  for (const Variant& check : {Variant(0), Variant(), Variant(-1), Variant("0")}) {
    const ConditionDictionary dct = NoStatus({{"FChkBillDate", check},
                                              {"FBillStartDate", "2024-01-01"},
                                              {"FBillEndDate", "2024-01-31"},
                                              {"FChkDeliveryDate", check},
                                              {"FDeliveryStartDate", "2024-01-01"}});
    EXPECT_TRUE(test::MatchesGolden(GetFilterSQL(&dct), "rpt2010005/filter_no_status.sql")) << check.ToString();
  }
}

TEST(Rpt2010005Filter, EachLineCloseStatus) {
  for (int value = 0; value <= 3; ++value) {
    EXPECT_TRUE(test::MatchesGolden(Filter(NoStatus({{"FBillRowStatus", value}})),
                                    "rpt2010005/filter_row_status_" + std::to_string(value) + ".sql"));
  }
  for (const Variant& all : {Variant(4), Variant(5), Variant(-1), Variant("-1")}) {
    EXPECT_TRUE(test::MatchesGolden(Filter(NoStatus({{"FBillRowStatus", all}})),
                                    "rpt2010005/filter_no_status.sql"))
        << all.ToString();
  }
}

TEST(Rpt2010005Filter, ExecutionStatesDoneOpenOrAll) {
  const char* keys[] = {"FDeliveryStatus", "FAcceptanceStatus", "FInvoiceStatus", "FSettleStatus"};
  ConditionDictionary done = NoStatus();
  ConditionDictionary open = NoStatus();
  ConditionDictionary all = NoStatus();
  for (const char* key : keys) {
    done.Set(key, "0");
    open.Set(key, 1);
    all.Set(key, -1);
  }
  EXPECT_TRUE(test::MatchesGolden(GetFilterSQL(&done), "rpt2010005/filter_states_done.sql"));
  EXPECT_TRUE(test::MatchesGolden(GetFilterSQL(&open), "rpt2010005/filter_states_open.sql"));
  EXPECT_TRUE(test::MatchesGolden(GetFilterSQL(&all), "rpt2010005/filter_no_status.sql"));
}

TEST(Rpt2010005Filter, ValuesKeepBlanksAndDoubleApostrophes) {
  EXPECT_TRUE(test::MatchesGolden(Filter(NoStatus({{"FSupplyFrom", " S 01 "}, {"FSupplyTo", ""}, {"FEmpTo", "E09  "}})),
                                  "rpt2010005/filter_blanks_kept.sql"));
  EXPECT_TRUE(test::MatchesGolden(
      Filter(NoStatus({{"FProcurementFrom", "PO'1"}, {"FItemFrom", "01'; DROP TABLE t_ICItem --"}})),
      "rpt2010005/filter_apostrophes.sql"));
  // A number is given as its text, like any other value.
  EXPECT_EQ(Filter(NoStatus({{"FSupplyTo", 100}})), "\r\n AND ts.FNumber<='100' And aa.FMultiCheckStatus = 16 ");
}

TEST(Rpt2010005Filter, ADateThatIsNoDateRaisesTypeMismatch) {
  const ConditionDictionary dct = NoStatus({{"FChkBillDate", 1}, {"FBillStartDate", "2024-01-01' --"}});
  test::ExpectRaises([&] { GetFilterSQL(&dct); }, platform::kErrTypeMismatch);
}

}  // namespace
}  // namespace orv::reports::rpt2010005
