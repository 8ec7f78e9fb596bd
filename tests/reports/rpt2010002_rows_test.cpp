// The expense invoice report without grouping, run end to end on the tiny demo
// database: the detail lines of each filter and the total row with their sums
// worked out by hand (demo/tiny-expected.md), the columns of the record set,
// quoting of values, and the errors of a call without conditions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/automation_error.h"
#include "platform/field.h"
#include "tests/reports/rpt2010002_lines.h"
#include "tests/toolkit/condition_dict.h"
#include "tests/toolkit/expect_raises.h"

namespace orv::test::rpt2010002 {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

ResultTable Report(const ConditionDictionary* dct, std::string_view language = "chs") {
  return ReadTable(*RunReport(kProgId, TinySession(language), dct));
}

// The total row: the label in FFeeName, the four sums, FSumSort 101, the
// largest precisions (NULL without lines); the columns the insert leaves out
// keep their defaults ('' for texts, 0 for identifiers, NULL for the rest).
RowValues TotalRow(const Sums& sums, const std::string& decimals = "4", const std::string& label = "合计:") {
  RowValues row;
  for (const char* text : {"FBillNo", "FSupplyNumber", "FSupplyName", "FFeeNumber", "FExpenseTypeNumber",
                           "FExpenseTypeName", "FCurrency", "FUnit", "FChecker", "FNote"}) {
    row[text] = "";
  }
  for (const char* id : {"FSupplyID", "FFeeID", "FExpenseTypeID"}) row[id] = "0";
  for (const char* null : {"FDate", "FPrice", "FAmount", "FTaxRate", "FTaxAmt", "FAmtNoTax"}) row[null] = "NULL";
  row["FFeeName"] = label;
  row["FQty"] = sums.qty;
  row["FAmountFor"] = sums.amount_for;
  row["FTaxAmtFor"] = sums.tax_for;
  row["FAmtNoTaxFor"] = sums.no_tax_for;
  row["FSumSort"] = "101";
  row["FQtyDecimal"] = decimals;
  row["FPriceDecimal"] = decimals;
  return row;
}

void ExpectReport(const ResultTable& table, const std::vector<Line>& lines, const RowValues& total) {
  EXPECT_TRUE(ReportMatches(table, kKey, Pick(Lines(), lines), total));
}

TEST(Rpt2010002Rows, WithoutConditionsEveryLineAndTheTotal) {
  const ConditionDictionary none;
  ExpectReport(Report(&none), {E1, E2, E3, E4, E5, E6}, TotalRow(kAllLines));
  // FChkGroupBy other than 1 is the same report.
  const ConditionDictionary unchecked = Dict({{"FChkGroupBy", "0"}, {"FGroupBySupply", "0"}});
  ExpectReport(Report(&unchecked), {E1, E2, E3, E4, E5, E6}, TotalRow(kAllLines));
}

struct FilterCase {
  const char* name;
  ConditionDictionary dct;
  std::vector<Line> lines;
  Sums sums;
};

TEST(Rpt2010002Rows, EachFilterSelectsTheHandWorkedLinesAndSums) {
  const Sums none{"0", "0", "0", "0"};
  const std::vector<FilterCase> cases = {
      // 7004 is dated 09:15 on the end day, after the bound's midnight.
      {"dates, end day at midnight", Dict({{"FStartDate", "2024-02-01"}, {"FEndDate", "2024-04-05"}}), {E3, E4},
       {"3", "309", "9", "300"}},  // E3 + E4: 2+1, 109+200, 9+0, 100+200
      {"start date only", Dict({{"FStartDate", "2024-03-10"}}), {E4, E5, E6}, {"5", "3780", "180", "3600"}},
      {"audited (16)", Dict({{"FBillStatus", 0}}), {E1, E2, E4}, {"2", "745", "45", "700"}},
      // 7002 is at check step 4; 7004 (status 0) is in neither choice.
      {"in the check (2, 4, 8)", Dict({{"FBillStatus", "1"}}), {E3}, LineSums(E3)},
      {"status 2 filters nothing", Dict({{"FBillStatus", 2}}), {E1, E2, E3, E4, E5, E6}, kAllLines},
      // A hook-log line of any log type counts: 7002/1's log is of type 2.
      {"hooked lines", Dict({{"FHookStatus", 0}}), {E1, E3, E6}, {"4", "1054", "54", "1000"}},
      {"lines without a hook-log entry", Dict({{"FHookStatus", 1}}), {E2, E4, E5}, {"4", "3380", "180", "3200"}},
      // "01.001", "01.002" >= "01"; "00" is below, supplier 999 has no number.
      {"supplier from 01", Dict({{"FSupplyFrom", "01"}}), {E1, E2, E3}, {"3", "654", "54", "600"}},
      {"supplier from 0: 00 passes", Dict({{"FSupplyFrom", "0"}}), {E1, E2, E3, E5, E6},
       {"7", "4234", "234", "4000"}},
      {"no upper supplier bound", Dict({{"FSupplyTo", "01"}}), {E1, E2, E3, E4, E5, E6}, kAllLines},
      // Fee numbers: 01.01 (502), 02 (503), '' (504); fee 999 has none.
      {"fee from 02", Dict({{"FExpenseFrom", "02"}}), {E2}, LineSums(E2)},
      {"fee to 01.01: the empty number passes", Dict({{"FExpenseTo", "01.01"}}), {E1, E3, E5, E6},
       {"7", "4234", "234", "4000"}},
      {"fee to 0: only the empty number", Dict({{"FExpenseFrom", ""}, {"FExpenseTo", "0"}}), {E5}, LineSums(E5)},
      {"letters sort above every number", Dict({{"FSupplyFrom", "O'Neil"}}), {}, none},
      {"a quote cannot widen the filter", Dict({{"FExpenseFrom", "9' OR '1'='1"}}), {}, none},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectReport(Report(&c.dct), c.lines, TotalRow(c.sums, c.lines.empty() ? "NULL" : "4"));
  }
}

TEST(Rpt2010002Rows, EnglishSessionTranslatesTheTotalLabel) {
  const ConditionDictionary dct = Dict({{"FBillStatus", 1}});
  ExpectReport(Report(&dct, "en"), {E3}, TotalRow(LineSums(E3), "4", "Total:"));
}

TEST(Rpt2010002Rows, RecordSetHasTheTableColumnsInOrder) {
  const ConditionDictionary dct;
  const std::shared_ptr<platform::Recordset> rows = RunReport(kProgId, TinySession(), &dct);
  EXPECT_EQ(rows->ActiveConnection(), nullptr);
  const std::vector<std::string> names = {
      "FDate",      "FBillNo",    "FSupplyID",    "FSupplyNumber", "FSupplyName", "FFeeID",
      "FFeeNumber", "FFeeName",   "FExpenseTypeID", "FExpenseTypeNumber", "FExpenseTypeName", "FCurrency",
      "FUnit",      "FQty",       "FPrice",       "FAmount",       "FAmountFor",  "FTaxRate",
      "FTaxAmt",    "FTaxAmtFor", "FAmtNoTax",    "FAmtNoTaxFor",  "FChecker",    "FNote",
      "FSumSort",   "FQtyDecimal", "FPriceDecimal"};
  EXPECT_EQ(ReadTable(*rows).columns, names);
  const platform::Fields& fields = rows->Fields();
  EXPECT_EQ(fields.Item("FBillNo").DefinedSize(), 80);
  EXPECT_EQ(fields.Item("FAmountFor").Precision(), 23);
  EXPECT_EQ(fields.Item("FAmountFor").NumericScale(), 10);
  EXPECT_EQ(fields.Item("FSumSort").Type(), platform::DataTypeEnum::adSmallInt);
}

TEST(Rpt2010002Rows, BadConditionsEndTheCallWithTheRuntimeError) {
  // Without a dictionary the detail layout cannot be chosen.
  ExpectRaises([] { Report(nullptr); }, platform::kErrObjectNotSet, "Orvalent.CRPT2010002.GetRptData");
  const ConditionDictionary bad_date = Dict({{"FEndDate", "2024-02-30"}});
  ExpectRaises([&] { Report(&bad_date); }, platform::kErrTypeMismatch, "Orvalent.CRPT2010002.GetRptData");
  const ConditionDictionary bad_status = Dict({{"FHookStatus", "yes"}});
  ExpectRaises([&] { Report(&bad_status); }, platform::kErrTypeMismatch, "Orvalent.CRPT2010002.GetRptData");
}

}  // namespace
}  // namespace orv::test::rpt2010002
