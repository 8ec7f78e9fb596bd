// The procurement order execution report run end to end on the tiny demo
// database: every returned row and column against the values worked out by
// hand in demo/tiny-expected.md, for each filter of the dialog, both
// languages, quoting, a date that is no date and a batch the database rejects.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "demo/demo_database.h"
#include "engine/engine.h"
#include "engine/parser/parser.h"
#include "platform/automation_error.h"
#include "platform/embedded_provider.h"
#include "platform/field.h"
#include "tests/reports/report_fixture.h"
#include "tests/toolkit/condition_dict.h"

namespace orv::test {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

constexpr std::string_view kProgId = "Orvalent.CRPT2010005";

// The order lines O1 to O6 (order/line 2001/1, 2001/2, 2002/1, 2003/1, 2003/2,
// and 2004/1 of the order that has not passed the check), column by column.
const std::vector<RowValues>& Lines() {
  static const std::vector<RowValues> lines = RowsFromColumns({
      {"FSupplyNumber", {"01.001", "01.001", "01.002", "", "", "02.001  "}},
      {"FSupplyName", {"上海精工有限公司", "上海精工有限公司", "O'Neil Trading", "", "", "北京远大贸易"}},
      {"FBillNo", {"ZCCG000001", "ZCCG000001", "ZCCG000002", "ZCCG000003", "ZCCG000003", "ZCCG000004"}},
      {"FDate", {"2024-01-05", "2024-01-05", "2024-02-10", "2024-03-15", "2024-03-15", "2024-03-20"}},
      {"FDeliveryDate", {"2024-01-20", "2024-01-25", "2024-02-28", "NULL", "2024-04-10", "2024-03-25"}},
      {"FItemNumber", {"01.01.001", "01.02", "02.002", "", "02.001", "01.01.002"}},
      {"FItemName", {"笔记本电脑", "打印机", "Ergo Chair", "", "办公桌", "台式机"}},
      {"FItemModel", {"T14", "LJ-2000", "EC-01", "", "1.6m", ""}},
      {"FItemAuxProPerty", {"红色", "", "Large", "", "", ""}},
      {"FCloseStatus", {"未关闭", "未关闭", "关闭", "未关闭", "未关闭", "未关闭"}},
      {"FRowCloseStatus", {"关闭", "未关闭", "关闭", "关闭", "未关闭", "未关闭"}},
      {"FUnit", {"台", "箱", "把", "", "张", "台"}},
      {"FCurrency", {"人民币", "人民币", "科威特第纳尔", "", "", "欧元"}},
      {"FQty", {"5", "2", "10", "1", "4", "1"}},
      {"FRealTaxPrice", {"5650", "1130", "28.815", "100", "800", "4520"}},
      {"FTotalAmt", {"28250", "2260", "2881.5", "100", "3200", "4520"}},
      {"FTotalAmtFor", {"28250", "2260", "288.15", "100", "3200", "4520"}},
      {"FArriveQty", {"5", "1", "0", "1", "4", "0"}},
      {"FUnArriveQty", {"0", "1", "10", "0", "0", "1"}},
      {"FAcceptanceQty", {"5", "1", "0", "1", "2", "0"}},
      {"FUnAcceptanceQty", {"0", "1", "10", "0", "2", "1"}},
      {"FInvoiceQty", {"2", "0", "0", "1", "0", "0"}},
      {"FUnInvoiceQty", {"3", "2", "10", "0", "4", "1"}},
      {"FSettleAmt", {"11300", "0", "0", "100", "1000", "0"}},
      {"FUnSettleAmt", {"16950", "2260", "2881.5", "0", "2200", "4520"}},
      {"FSumSort", {"0", "0", "0", "0", "0", "0"}},
      {"FQtyDecimal", {"0", "2", "3", "4", "4", "0"}},
      {"FPriceDecimal", {"2", "4", "3", "2", "2", "2"}},
  });
  return lines;
}

enum Line { O1, O2, O3, O4, O5, O6 };

const std::vector<std::string> kKey = {"FBillNo", "FItemNumber"};

std::vector<RowValues> Expected(const std::vector<Line>& lines) { return Pick(Lines(), lines); }

// The summed columns of the total row, in this order, then its FQtyDecimal.
const std::vector<std::string> kSummed = {"FQty",           "FTotalAmtFor", "FArriveQty",    "FUnArriveQty",
                                          "FAcceptanceQty", "FUnAcceptanceQty", "FInvoiceQty", "FUnInvoiceQty",
                                          "FSettleAmt",     "FUnSettleAmt", "FQtyDecimal"};
using Totals = std::vector<std::string>;

RowValues TotalRow(const Totals& totals, const std::string& label = "合计:") {
  RowValues row;
  for (const char* text : {"FSupplyName", "FBillNo", "FItemNumber", "FItemName", "FItemModel", "FItemAuxProPerty",
                           "FCloseStatus", "FRowCloseStatus", "FUnit", "FCurrency"}) {
    row[text] = "";
  }
  for (const char* null : {"FDate", "FDeliveryDate", "FRealTaxPrice", "FTotalAmt"}) row[null] = "NULL";
  for (size_t i = 0; i < kSummed.size(); ++i) row[kSummed[i]] = totals.at(i);
  row["FSupplyNumber"] = label;
  row["FSumSort"] = "101";
  row["FPriceDecimal"] = "0";
  return row;
}

const Totals kAll = {"22", "34098.15", "11", "11", "9", "13", "3", "19", "12400", "24291.5", "4"};
const Totals kOnlyO3 = {"10", "288.15", "0", "10", "0", "10", "0", "10", "0", "2881.5", "3"};
const Totals kOnlyO4 = {"1", "100", "1", "0", "1", "0", "1", "0", "100", "0", "4"};
const Totals kO1O2 = {"7", "30510", "6", "1", "6", "1", "2", "5", "11300", "19210", "2"};
const Totals kO1O4 = {"6", "28350", "6", "0", "6", "0", "3", "3", "11400", "16950", "4"};
const Totals kO1O2O3 = {"17", "30798.15", "6", "11", "6", "11", "2", "15", "11300", "22091.5", "3"};
const Totals kO1O2O5 = {"11", "33710", "10", "1", "8", "3", "2", "9", "12300", "21410", "4"};
const Totals kO2O5 = {"6", "5460", "5", "1", "3", "3", "0", "6", "1000", "4460", "4"};
const Totals kO3O4O5 = {"15", "3588.15", "5", "10", "3", "12", "1", "14", "1100", "5081.5", "4"};
const Totals kNone = {"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "NULL"};

// Every key the filter reads, set so that it filters nothing.
ConditionDictionary Neutral() {
  ConditionDictionary dct = Dict({{"FChkBillDate", 0}, {"FChkDeliveryDate", 0}, {"FBillRowStatus", 4},
                                  {"FDeliveryStatus", 2}, {"FAcceptanceStatus", 2}, {"FInvoiceStatus", 2},
                                  {"FSettleStatus", 2}});
  for (const char* key : {"FBillStartDate", "FBillEndDate", "FDeliveryStartDate", "FDeliveryEndDate", "FSupplyFrom",
                          "FSupplyTo", "FProcurementFrom", "FProcurementTo", "FItemFrom", "FItemTo", "FEmpFrom",
                          "FEmpTo", "FDeptFrom", "FDeptTo"}) {
    dct.Set(key, "");
  }
  return dct;
}

ConditionDictionary NeutralWith(std::initializer_list<std::pair<const char*, Variant>> changes) {
  ConditionDictionary dct = Neutral();
  for (const auto& [key, value] : changes) dct.Set(key, value);
  return dct;
}

ResultTable Report(const ConditionDictionary* dct, std::string_view language = "chs") {
  return ReadTable(*RunReport(kProgId, TinySession(language), dct));
}

// The detail rows are `lines` and exactly one row, wherever it stands, is the total with `totals`.
void ExpectReport(const ResultTable& table, const std::vector<Line>& lines, const Totals& totals) {
  EXPECT_TRUE(ReportMatches(table, kKey, Expected(lines), TotalRow(totals)));
}

TEST(Rpt2010005Rows, NeutralConditionsListEveryLineOfCheckedOrders) {
  // Not order 2004 (not through the check), nor 2005 (a header without lines).
  const ConditionDictionary dct = Neutral();
  ExpectReport(Report(&dct), {O1, O2, O3, O4, O5}, kAll);
}

struct ConditionCase {
  const char* name;
  ConditionDictionary dct;
  std::vector<Line> lines;
  Totals totals;
};

TEST(Rpt2010005Rows, EachFilterSelectsTheHandWorkedLinesAndSums) {
  const std::vector<ConditionCase> cases = {
      {"order dates, end day included",
       NeutralWith({{"FChkBillDate", 1}, {"FBillStartDate", "2024-02-01"}, {"FBillEndDate", "2024-03-15"}}),
       {O3, O4, O5}, kO3O4O5},
      {"order dates unchecked",
       NeutralWith({{"FBillStartDate", "2024-02-01"}, {"FBillEndDate", "2024-03-15"}}), {O1, O2, O3, O4, O5}, kAll},
      {"order end date only", NeutralWith({{"FChkBillDate", "1"}, {"FBillEndDate", "2024-02-10"}}), {O1, O2, O3},
       kO1O2O3},
      {"delivery start only, no delivery date out",
       NeutralWith({{"FChkDeliveryDate", 1}, {"FDeliveryStartDate", "2024-01-25"}}), {O2, O3, O5},
       {"16", "5748.15", "5", "11", "3", "13", "0", "16", "1000", "7341.5", "4"}},
      {"delivery end only", NeutralWith({{"FChkDeliveryDate", 1}, {"FDeliveryEndDate", "2024-01-25"}}), {O1, O2},
       kO1O2},
      {"closed lines", NeutralWith({{"FBillRowStatus", 0}}), {O1, O3, O4},
       {"16", "28638.15", "6", "10", "6", "10", "3", "13", "11400", "19831.5", "4"}},
      {"closed, not by hand", NeutralWith({{"FBillRowStatus", 1}}), {O1, O4}, kO1O4},
      {"closed by hand", NeutralWith({{"FBillRowStatus", 2}}), {O3}, kOnlyO3},
      {"open lines", NeutralWith({{"FBillRowStatus", "3"}}), {O2, O5}, kO2O5},
      {"row status -1", NeutralWith({{"FBillRowStatus", -1}}), {O1, O2, O3, O4, O5}, kAll},
      {"not all arrived, NULL arrival in neither", NeutralWith({{"FDeliveryStatus", 1}}), {O2},
       {"2", "2260", "1", "1", "1", "1", "0", "2", "0", "2260", "2"}},
      {"all arrived", NeutralWith({{"FDeliveryStatus", 0}}), {O1, O4, O5},
       {"10", "31550", "10", "0", "8", "2", "3", "7", "12400", "19150", "4"}},
      {"all accepted", NeutralWith({{"FAcceptanceStatus", 0}}), {O1, O4}, kO1O4},
      {"not all accepted", NeutralWith({{"FAcceptanceStatus", 1}}), {O2, O5}, kO2O5},
      {"all invoiced", NeutralWith({{"FInvoiceStatus", 0}}), {O4}, kOnlyO4},
      {"not all invoiced", NeutralWith({{"FInvoiceStatus", 1}}), {O1, O2, O5}, kO1O2O5},
      {"fully settled", NeutralWith({{"FSettleStatus", 0}}), {O4}, kOnlyO4},
      {"not fully settled", NeutralWith({{"FSettleStatus", 1}}), {O1, O2, O5}, kO1O2O5},
      {"supplier from, missing supplier out", NeutralWith({{"FSupplyFrom", "01.002"}}), {O3}, kOnlyO3},
      {"supplier to", NeutralWith({{"FSupplyTo", "01.001"}}), {O1, O2}, kO1O2},
      {"item to, missing item out", NeutralWith({{"FItemTo", "01.02"}}), {O1, O2}, kO1O2},
      {"item from", NeutralWith({{"FItemFrom", "02"}}), {O3, O5},
       {"14", "3488.15", "4", "10", "2", "12", "0", "14", "1000", "5081.5", "4"}},
      {"department from", NeutralWith({{"FDeptFrom", "02"}}), {O4, O5},
       {"5", "3300", "5", "0", "3", "2", "1", "4", "1100", "2200", "4"}},
      {"department to", NeutralWith({{"FDeptTo", "01.02.001"}}), {O1, O2, O3}, kO1O2O3},
      {"employee to", NeutralWith({{"FEmpTo", "01.002"}}), {O1, O2, O3}, kO1O2O3},
      {"employee from", NeutralWith({{"FEmpFrom", "01.002"}}), {O3, O4, O5}, kO3O4O5},
      {"order number range", NeutralWith({{"FProcurementFrom", "ZCCG000002"}, {"FProcurementTo", "ZCCG000002"}}),
       {O3}, kOnlyO3},
      {"no line matches: only the total row", NeutralWith({{"FProcurementFrom", "ZZ"}}), {}, kNone},
  };
  for (const ConditionCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectReport(Report(&c.dct), c.lines, c.totals);
  }
}

TEST(Rpt2010005Rows, EmptyValuesCountAsStatusZero) {
  // Empty equals 0: closed lines, fully arrived, accepted, invoiced and settled.
  const ConditionDictionary neutral = Neutral();
  ConditionDictionary every_key_empty;
  for (const auto& entry : neutral.entries()) every_key_empty.Set(entry.first, Variant());
  ExpectReport(Report(&every_key_empty), {O4}, kOnlyO4);
  // An absent key reads as Empty too.
  const ConditionDictionary no_keys;
  ExpectReport(Report(&no_keys), {O4}, kOnlyO4);
}

TEST(Rpt2010005Rows, WithoutDictionaryEvenUncheckedOrdersAreListed) {
  ExpectReport(Report(nullptr), {O1, O2, O3, O4, O5, O6},
               {"23", "38618.15", "11", "12", "9", "14", "3", "20", "12400", "28811.5", "4"});
}

TEST(Rpt2010005Rows, DatesAreReadFromDateValuesAndOtherDateTexts) {
  // 45323 is 2024-02-01 as an automation date.
  const ConditionDictionary dct = NeutralWith(
      {{"FChkBillDate", 1}, {"FBillStartDate", Variant::Date(45323.0)}, {"FBillEndDate", "2024/3/15"}});
  ExpectReport(Report(&dct), {O3, O4, O5}, kO3O4O5);
}

TEST(Rpt2010005Rows, EnglishSessionTranslatesStatusesAndTotalLabel) {
  const ConditionDictionary dct = Neutral();
  const ResultTable table = Report(&dct, "en");
  std::vector<RowValues> expected = Expected({O1, O2, O3, O4, O5});
  for (RowValues& row : expected) {
    for (const char* column : {"FCloseStatus", "FRowCloseStatus"}) row[column] = row[column] == "关闭" ? "Closed" : "Open";
  }
  EXPECT_TRUE(ReportMatches(table, kKey, expected, TotalRow(kAll, "Total:")));
}

TEST(Rpt2010005Rows, ApostrophesInValuesAreQuotedAndCompared) {
  // Supplier numbers are digits, below any letter; the missing supplier has none.
  const ConditionDictionary below = NeutralWith({{"FSupplyTo", "O'Brien"}});
  ExpectReport(Report(&below), {O1, O2, O3}, kO1O2O3);
  // A value that would widen the filter if it escaped its quotes selects nothing.
  const ConditionDictionary escape = NeutralWith({{"FEmpFrom", "9' OR '1'='1"}});
  ExpectReport(Report(&escape), {}, kNone);
}

void ExpectTypeMismatch(const ConditionDictionary& dct) {
  try {
    Report(&dct);
    ADD_FAILURE() << "failure reported as success";
  } catch (const platform::AutomationError& e) {
    EXPECT_EQ(e.number(), platform::kErrTypeMismatch);
    EXPECT_EQ(e.source(), "Orvalent.CRPT2010005.GetRptData");
    EXPECT_EQ(e.description(), "Type mismatch");
  }
}

TEST(Rpt2010005Rows, DateThatIsNoDateRaisesTypeMismatch) {
  ExpectTypeMismatch(NeutralWith({{"FChkBillDate", 1}, {"FBillStartDate", "abc"}}));
  ExpectTypeMismatch(NeutralWith({{"FChkDeliveryDate", 1}, {"FDeliveryEndDate", "2024-02-30"}}));
  // Unchecked, the date is never read.
  const ConditionDictionary unchecked = NeutralWith({{"FBillStartDate", "abc"}});
  ExpectReport(Report(&unchecked), {O1, O2, O3, O4, O5}, kAll);
}

// A database of this test's own whose order lines lack FAcceptQty: the detail
// batch names it, so the database rejects the batch (invalid column name).
constexpr std::string_view kNoAcceptQty = "t-rows-no-acceptqty";

void RegisterDatabaseWithoutAcceptQty() {
  platform::RegisterDatabaseFactory(kNoAcceptQty, [](engine::Session& session) {
    std::string schema = demo::SchemaScript();
    const size_t column = schema.find("   FAcceptQty ");
    if (column == std::string::npos) throw std::runtime_error("the demo schema has no FAcceptQty line");
    schema.erase(column, schema.find('\n', column) + 1 - column);
    for (const engine::ScriptBatch& batch : engine::SplitScript(schema)) {
      const engine::BatchResult result = session.Execute(batch.text);
      if (result.first_error()) throw *result.first_error();
    }
  });
}

TEST(Rpt2010005Rows, RejectedBatchReachesTheCallerWithTheSummaryAdvice) {
  RegisterDatabaseWithoutAcceptQty();
  const ConditionDictionary dct = Neutral();
  const std::vector<std::pair<std::string, std::string>> languages = {
      {"chs", "指定了太多汇总列，请重新选择汇总方式！"},
      {"en", "Too many summary columns were specified. Please choose the summary mode again!"}};
  for (const auto& [language, advice] : languages) {
    SCOPED_TRACE(language);
    try {
      RunReport(kProgId, SessionOn(kNoAcceptQty, language), &dct);
      ADD_FAILURE() << "failure reported as success";
    } catch (const platform::AutomationError& e) {
      EXPECT_EQ(e.number(), platform::kErrCommandText);
      EXPECT_EQ(e.source(), "Orvalent.CRPT2010005.GetRptData");
      EXPECT_EQ(e.description(), advice + "\r\nInvalid column name 'FAcceptQty'.");
    }
  }
}

TEST(Rpt2010005Rows, RecordSetHasTheTableColumnsInOrder) {
  const ConditionDictionary dct = Neutral();
  const std::shared_ptr<platform::Recordset> rows = RunReport(kProgId, TinySession(), &dct);
  EXPECT_EQ(rows->ActiveConnection(), nullptr);
  const std::vector<std::string> names = {
      "FSupplyNumber", "FSupplyName",     "FBillNo",       "FDate",          "FDeliveryDate",    "FItemNumber",
      "FItemName",     "FItemModel",      "FItemAuxProPerty", "FCloseStatus", "FRowCloseStatus", "FUnit",
      "FCurrency",     "FQty",            "FRealTaxPrice", "FTotalAmt",      "FTotalAmtFor",     "FArriveQty",
      "FUnArriveQty",  "FAcceptanceQty",  "FUnAcceptanceQty", "FInvoiceQty", "FUnInvoiceQty",    "FSettleAmt",
      "FUnSettleAmt",  "FSumSort",        "FQtyDecimal",   "FPriceDecimal"};
  EXPECT_EQ(ReadTable(*rows).columns, names);
  const platform::Fields& fields = rows->Fields();
  EXPECT_EQ(fields.Item("FBillNo").DefinedSize(), 80);
  EXPECT_EQ(fields.Item("FQty").Precision(), 23);
  EXPECT_EQ(fields.Item("FQty").NumericScale(), 10);
  EXPECT_EQ(fields.Item("FSumSort").Type(), platform::DataTypeEnum::adSmallInt);
  EXPECT_EQ(fields.Item("FQtyDecimal").Type(), platform::DataTypeEnum::adInteger);
}

}  // namespace
}  // namespace orv::test
