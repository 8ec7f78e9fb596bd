// The purchase invoice batch against hand-written golden files: conditions,
// status keys, the sort list and the quoting of values; and the refusal of a
// sort list that is not one of the report's columns.
#include <gtest/gtest.h>

#include "platform/automation_error.h"
#include "tests/toolkit/condition_dict.h"
#include "tests/toolkit/expect_raises.h"
#include "reports/rpt2010001/sql_routines.h"
#include "tests/reports/golden.h"

namespace orv::reports::rpt2010001 {
namespace {

using platform::ConditionDictionary;
using platform::Variant;
using test::Dict;

const std::string kTable = "#Rpt2010001T";

// The batch from its WHERE line on: what the conditions change.
std::string Tail(const std::string& batch) { return batch.substr(batch.find("WHERE u.FSubSystemID=3 ")); }

std::string Batch(const ConditionDictionary* dct) {
  platform::SqlBuffer buffer;
  GetCreateSQL(buffer, kTable);
  GetDataSQL(buffer, dct, kTable, "chs");
  return buffer.GetText();
}

TEST(Rpt2010001Batch, NoConditionFiltersOnlyTheSubsystem) {
  const ConditionDictionary dct;
  EXPECT_TRUE(test::MatchesGolden(Batch(&dct), "rpt2010001/no_condition.sql"));
}

TEST(Rpt2010001Batch, StatusValuesOtherThanZeroAndOneAddNothing) {
  for (const Variant& status : {Variant(2), Variant("2"), Variant(int16_t{-1})}) {
    const ConditionDictionary dct = Dict({{"FBillStatus", status}, {"FHookStatus", status}});
    EXPECT_TRUE(test::MatchesGolden(Batch(&dct), "rpt2010001/no_condition.sql")) << status.ToString();
  }
  // An empty value equals 0: audited and fully matched.
  const ConditionDictionary empty = Dict({{"FBillStatus", Variant()}, {"FHookStatus", Variant()}});
  EXPECT_NE(Batch(&empty).find("=3 \r\n AND u.FCheckerID>0 AND u.FHookStatus=2INSERT INTO "), std::string::npos);
}

TEST(Rpt2010001Batch, EveryConditionActiveInTableOrderOnOneLine) {
  const ConditionDictionary dct = Dict({{"SortFields", " FDate desc ,FInvoiceNumber ASC"},
                                        {"FHookStatus", 0},
                                        {"FBillStatus", int16_t{0}},
                                        {"FCurrencyTo", "USD"},
                                        {"FCurrencyFrom", "CNY"},
                                        {"FSupplyTo", "S09"},
                                        {"FSupplyFrom", "S01"},
                                        {"FItemTo", "01.999"},
                                        {"FItemFrom", "01.001"},
                                        {"FEndDate", "2024-12-31"},
                                        {"FBeginDate", "2024-01-01"}});
  EXPECT_TRUE(test::MatchesGolden(Tail(Batch(&dct)), "rpt2010001/all_conditions.sql"));
}

TEST(Rpt2010001Batch, StatusOneSelectsUnauditedAndUnmatched) {
  const ConditionDictionary one = Dict({{"FBillStatus", "1"}, {"FHookStatus", 1}});
  EXPECT_TRUE(test::MatchesGolden(Tail(Batch(&one)), "rpt2010001/status_one.sql"));
  const ConditionDictionary mixed = Dict({{"FBillStatus", 0.0}, {"FHookStatus", " 1 "}});
  EXPECT_TRUE(test::MatchesGolden(Tail(Batch(&mixed)), "rpt2010001/status_zero_hook_one.sql"));
}

TEST(Rpt2010001Batch, FragmentsRunIntoTheTotalInsertWithoutLineBreak) {
  const ConditionDictionary dct = Dict({{"FBeginDate", "2024-03-01"}, {"FBillStatus", "0"}, {"SortFields", "FDate"}});
  const std::string batch = Batch(&dct);
  EXPECT_TRUE(test::MatchesGolden(Tail(batch), "rpt2010001/begin_date_audited.sql"));
  EXPECT_NE(batch.find("WHERE u.FSubSystemID=3 \r\n AND u.FDate>='2024-03-01' AND u.FCheckerID>0INSERT INTO "),
            std::string::npos);
}

TEST(Rpt2010001Batch, ValuesKeepTheirBlanksAndApostrophesAreDoubled) {
  const ConditionDictionary blanks = Dict({{"FItemFrom", " 01 "}, {"FItemTo", ""}, {"FCurrencyTo", "  "}});
  EXPECT_TRUE(test::MatchesGolden(Tail(Batch(&blanks)), "rpt2010001/blanks_kept.sql"));
  const ConditionDictionary quotes =
      Dict({{"FBeginDate", "2024-01-01' OR 1=1 --"}, {"FSupplyFrom", "O'Brien"}, {"FSupplyTo", "'"}});
  EXPECT_TRUE(test::MatchesGolden(Tail(Batch(&quotes)), "rpt2010001/apostrophes.sql"));
}

TEST(Rpt2010001SortFields, ColumnsWithDirectionsInAnyCaseAreWrittenAsGiven) {
  for (const char* sort : {"FSumSort", "fpricedecimal Desc", "FDate,FQty asc", " FNote  DESC , FChecker "}) {
    const ConditionDictionary dct = Dict({{"SortFields", sort}});
    const std::string batch = Batch(&dct);
    EXPECT_NE(batch.find(std::string(" ORDER BY FSumSort,") + sort + "\r\nDROP TABLE"), std::string::npos) << sort;
  }
}

TEST(Rpt2010001SortFields, AnythingElseRaisesFiveNamingTheItemBeforeAppending) {
  const std::pair<const char*, const char*> cases[] = {
      {"FDate;DROP TABLE t_User", "FDate;DROP TABLE t_User"},
      {"FDate,", ""},
      {"FDate,FBogus", "FBogus"},
      {"FDate DESC DESC", "FDate DESC DESC"},
      {"FQty ASCENDING", "FQty ASCENDING"},
      {"1", "1"},
      {"   ", "   "},
      {"FDate\tDESC", "FDate\tDESC"},
      {"u.FDate", "u.FDate"},
  };
  for (const auto& [sort, item] : cases) {
    const ConditionDictionary dct = Dict({{"SortFields", sort}});
    platform::SqlBuffer buffer;
    try {
      GetDataSQL(buffer, &dct, kTable, "chs");
      ADD_FAILURE() << "accepted " << sort;
    } catch (const platform::AutomationError& e) {
      EXPECT_EQ(e.number(), 5) << sort;
      EXPECT_NE(e.description().find("\"" + std::string(item) + "\""), std::string::npos) << e.description();
    }
    EXPECT_EQ(buffer.GetText(), "") << sort;
  }
}

TEST(Rpt2010001Batch, BadDictionaryInputRaisesInsteadOfWritingSql) {
  platform::SqlBuffer buffer;
  test::ExpectRaises([&] { GetDataSQL(buffer, nullptr, kTable, "chs"); }, 91);
  const ConditionDictionary text_status = Dict({{"FBillStatus", "audited"}});
  test::ExpectRaises([&] { GetDataSQL(buffer, &text_status, kTable, "chs"); }, platform::kErrTypeMismatch);
}

}  // namespace
}  // namespace orv::reports::rpt2010001
