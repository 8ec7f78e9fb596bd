// The purchase invoice report run end to end on the tiny demo database: every
// returned row and column against the values worked out by hand in
// demo/tiny-expected.md, for each kind of condition, the sort list, both
// languages, quoting of values, a failing batch and the record set's fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/automation_error.h"
#include "platform/field.h"
#include "tests/reports/report_fixture.h"
#include "tests/toolkit/condition_dict.h"

namespace orv::test {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

constexpr std::string_view kProgId = "Orvalent.CRPT2010001";

// The seven asset invoice lines R1 to R7 (invoice/line 1001/1, 1001/2, 1002/1,
// 1003/1, 1003/2, 1004/1, 1005/1), column by column as in the hand-worked table.
const std::vector<RowValues>& Lines() {
  static const std::vector<RowValues> lines = RowsFromColumns({
      {"FDate", {"2024-01-10", "2024-01-10", "2024-02-15", "2024-03-20", "2024-03-20", "2024-03-31 10:30:00", "2024-04-02"}},
      {"FFinDate", {"2024-01-12", "2024-01-12", "2024-02-15", "2024-03-22", "2024-03-22", "2024-04-01", "2024-04-02"}},
      {"FInvoiceType", {"资产采购普通发票", "资产采购普通发票", "资产采购增值税发票", "资产采购增值税发票", "资产采购增值税发票", "", "资产采购普通发票"}},
      {"FInvoiceNumber", {"ZPOFP000001", "ZPOFP000001", "ZPOFP000002", "ZPOFP000003", "ZPOFP000003", "ZPOFP000004", "ZPOFP000005"}},
      {"FSupplyNumber", {"01.001", "01.001", "01.002", "02.001  ", "02.001  ", "01.001", "01.001"}},
      {"FSupplyName", {"上海精工有限公司", "上海精工有限公司", "O'Neil Trading", "北京远大贸易", "北京远大贸易", "上海精工有限公司", "上海精工有限公司"}},
      {"FItemNumber", {"01.01.001", "01.02", "02.002", "02.001", "01.01.002", "01.01.001", "01.02"}},
      {"FItemName", {"笔记本电脑", "打印机", "Ergo Chair", "办公桌", "台式机", "笔记本电脑", "打印机"}},
      {"FModel", {"T14", "LJ-2000", "EC-01", "1.6m", "", "T14", "LJ-2000"}},
      {"FAuxPropertyID", {"红色", "", "Large", "", "Large", "", ""}},
      {"FCurrencyID", {"人民币", "人民币", "科威特第纳尔", "欧元", "欧元", "", "人民币"}},
      {"FUnitID", {"台", "箱", "把", "", "张", "台", "台"}},
      {"FQty", {"2", "1", "10", "3", "1", "1", "0"}},
      {"FPrice", {"5000", "1000", "25.5", "800", "4000", "300", "0"}},
      {"FBaseUnitID", {"台", "台", "把", "张", "台", "台", "台"}},
      {"FBaseQty", {"2", "12", "10", "3", "1", "1", "0"}},
      {"FBasePrice", {"5000", "83.3333333333", "25.5", "NULL", "4000", "300", "0"}},
      {"FComUnitID", {"台", "箱", "把", "", "张", "台", "台"}},
      {"FComQty", {"2", "1", "10", "3", "1", "1", "0"}},
      {"FComPrice", {"5000", "1000", "25.5", "800", "4000", "300", "0"}},
      {"FAmount", {"11300", "1130", "255", "2400", "4000", "0", "NULL"}},
      {"FTaxRate", {"0.13", "0.13", "0.13", "0.13", "0", "0.13", "0"}},
      {"FTaxAmt", {"1300", "130", "33.15", "312", "0", "39", "0"}},
      {"FTotalAmt", {"10000", "1000", "288.15", "2712", "4520", "0", "NULL"}},
      {"FTotalAmtFor", {"10000", "1000", "2881.5", "21153.6", "35256", "0", "NULL"}},
      {"FChecker", {"管理员", "管理员", "", "Morgan", "Morgan", "D'Arcy", ""}},
      {"FNote", {"首批", "首批", "", "it's ok", "it's ok", "", ""}},
      {"FSumSort", {"0", "0", "0", "0", "0", "0", "0"}},
      {"FCurrencyDecimal", {"2", "2", "3", "2", "2", "2", "2"}},
      {"FQtyDecimal", {"0", "2", "3", "NULL", "0", "0", "2"}},
      {"FPriceDecimal", {"2", "4", "3", "NULL", "2", "2", "4"}},
  });
  return lines;
}

enum Line { R1, R2, R3, R4, R5, R6, R7 };

const std::vector<std::string> kKey = {"FInvoiceNumber", "FItemNumber"};

std::string KeyOf(const RowValues& row) { return row.at("FInvoiceNumber") + "|" + row.at("FItemNumber"); }

std::vector<RowValues> Expected(const std::vector<Line>& lines) { return Pick(Lines(), lines); }

// The sums of the total row and its largest currency precision.
struct Totals {
  std::string amount, tax, total, total_for, currency_decimal;
};

RowValues TotalRow(const Totals& totals, const std::string& label = "合计：") {
  RowValues row;
  for (const char* text : {"FInvoiceType", "FInvoiceNumber", "FSupplyNumber", "FSupplyName", "FItemName", "FModel",
                           "FAuxPropertyID", "FCurrencyID", "FUnitID", "FBaseUnitID", "FComUnitID", "FChecker",
                           "FNote"}) {
    row[text] = "";
  }
  for (const char* null : {"FDate", "FFinDate", "FQty", "FPrice", "FBaseQty", "FBasePrice", "FComQty", "FComPrice",
                           "FTaxRate", "FQtyDecimal", "FPriceDecimal"}) {
    row[null] = "NULL";
  }
  row["FItemNumber"] = label;
  row["FAmount"] = totals.amount;
  row["FTaxAmt"] = totals.tax;
  row["FTotalAmt"] = totals.total;
  row["FTotalAmtFor"] = totals.total_for;
  row["FSumSort"] = "101";
  row["FCurrencyDecimal"] = totals.currency_decimal;
  return row;
}

const Totals kAllLines{"19085", "1814.15", "18520.15", "70291.1", "3"};

ResultTable Report(const ConditionDictionary& dct, std::string_view language = "chs") {
  return ReadTable(*RunReport(kProgId, TinySession(language), &dct));
}

// The detail rows are `lines` and the last row is the only total, with `totals`.
void ExpectReport(const ResultTable& table, const std::vector<Line>& lines, const Totals& totals) {
  EXPECT_TRUE(ReportMatches(table, kKey, Expected(lines), TotalRow(totals)));
  EXPECT_EQ(table.RowsWithSumSort("101"), std::vector<size_t>{lines.size()}) << "the total row comes last";
}

TEST(Rpt2010001Rows, WithoutConditionsEveryAssetInvoiceLineAndTheTotal) {
  // Status 2 (or absent) filters nothing, whether given as a number or as text.
  for (const ConditionDictionary& dct : {ConditionDictionary(), Dict({{"FBillStatus", 2}, {"FHookStatus", 2}}),
                                         Dict({{"FBillStatus", "2"}, {"FHookStatus", int16_t{-1}}})}) {
    SCOPED_TRACE(dct.Count());
    ExpectReport(Report(dct), {R1, R2, R3, R4, R5, R6, R7}, kAllLines);
  }
}

struct ConditionCase {
  const char* name;
  ConditionDictionary dct;
  std::vector<Line> lines;
  Totals totals;
};

TEST(Rpt2010001Rows, EachConditionSelectsTheHandWorkedLinesAndSums) {
  const std::vector<ConditionCase> cases = {
      {"dates, the end excluding a time on its day", Dict({{"FBeginDate", "2024-02-01"}, {"FEndDate", "2024-03-31"}}),
       {R3, R4, R5}, {"6655", "345.15", "7520.15", "59291.1", "3"}},
      {"audited", Dict({{"FBillStatus", int16_t{0}}}), {R1, R2, R4, R5, R6}, {"18830", "1781", "18232", "67409.6", "2"}},
      {"unaudited, checker 0 or NULL", Dict({{"FBillStatus", "1"}}), {R3, R7}, {"255", "33.15", "288.15", "2881.5", "3"}},
      {"fully matched", Dict({{"FHookStatus", 0}}), {R1, R2, R7}, {"12430", "1430", "11000", "11000", "2"}},
      {"unmatched, 0 or NULL", Dict({{"FHookStatus", int16_t{1}}}), {R3, R6}, {"255", "72.15", "288.15", "2881.5", "3"}},
      {"supplier range, trailing blanks ignored", Dict({{"FSupplyFrom", "02"}, {"FSupplyTo", "02.001"}}), {R4, R5},
       {"6400", "312", "7232", "56409.6", "2"}},
      {"item range", Dict({{"FItemFrom", "01.01.002"}, {"FItemTo", "01.02"}}), {R2, R5, R7},
       {"5130", "130", "5520", "36256", "2"}},
      {"currency lower bound, missing currency out", Dict({{"FCurrencyFrom", "KWD"}}), {R1, R2, R3, R7},
       {"12685", "1463.15", "11288.15", "13881.5", "3"}},
      {"currency upper bound", Dict({{"FCurrencyTo", "KWD"}}), {R3, R4, R5}, {"6655", "345.15", "7520.15", "59291.1", "3"}},
      {"dates and audited", Dict({{"FBeginDate", "2024-01-01"}, {"FEndDate", "2024-03-31"}, {"FBillStatus", 0}}),
       {R1, R2, R4, R5}, {"18830", "1742", "18232", "67409.6", "2"}},
      {"no line matches", Dict({{"FBeginDate", "2030-01-01"}}), {}, {"0", "0", "0", "0", "NULL"}},
  };
  for (const ConditionCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectReport(Report(c.dct), c.lines, c.totals);
  }
}

TEST(Rpt2010001Rows, NoMatchingLineLeavesOnlyTheTotalRow) {
  const ResultTable table = Report(Dict({{"FItemFrom", "99"}}));
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_TRUE(RowMatches(table, 0, TotalRow({"0", "0", "0", "0", "NULL"})));
}

std::vector<std::string> Order(const ResultTable& table) {
  std::vector<std::string> keys;
  for (size_t row = 0; row < table.rows.size(); ++row) keys.push_back(RowKey(table, row, kKey));
  return keys;
}

std::vector<std::string> Order(const std::vector<Line>& lines) {
  std::vector<std::string> keys;
  for (Line line : lines) keys.push_back(KeyOf(Lines()[line]));
  keys.push_back("|合计：");
  return keys;
}

TEST(Rpt2010001Rows, SortFieldsOrderTheLinesAndTheTotalStaysLast) {
  EXPECT_EQ(Order(Report(Dict({{"SortFields", "FInvoiceNumber,FItemNumber"}}))), Order({R1, R2, R3, R5, R4, R6, R7}));
  EXPECT_EQ(Order(Report(Dict({{"SortFields", " FInvoiceNumber DESC , FItemNumber"}}))),
            Order({R7, R6, R5, R4, R3, R1, R2}));
  // Amounts sort as numbers: NULL first, then 0, 255, 1130, ...
  EXPECT_EQ(Order(Report(Dict({{"SortFields", "FAmount"}}))), Order({R7, R6, R3, R2, R4, R5, R1}));
}

TEST(Rpt2010001Rows, EnglishSessionTranslatesTypesAndTotalLabel) {
  const ResultTable table = Report(ConditionDictionary(), "en");
  std::vector<RowValues> expected = Expected({R1, R2, R3, R4, R5, R6, R7});
  for (RowValues& row : expected) {
    if (row["FInvoiceType"] == "资产采购普通发票") row["FInvoiceType"] = "Asset Purchase Ordinary Invoice";
    if (row["FInvoiceType"] == "资产采购增值税发票") row["FInvoiceType"] = "Asset Purchase VAT Invoice";
  }
  EXPECT_TRUE(ReportMatches(table, kKey, expected, TotalRow(kAllLines, "Total:")));
}

TEST(Rpt2010001Rows, ApostrophesInBoundsAreQuotedAndCompared) {
  // Supplier numbers are digits, below any letter: everything is <= O'Brien.
  ExpectReport(Report(Dict({{"FSupplyTo", "O'Brien"}})), {R1, R2, R3, R4, R5, R6, R7}, kAllLines);
  // A bound that would widen the filter if it escaped its quotes selects nothing.
  ExpectReport(Report(Dict({{"FSupplyFrom", "9' OR '1'='1"}})), {}, {"0", "0", "0", "0", "NULL"});
  ExpectReport(Report(Dict({{"FItemTo", "01.02Z'"}})), {R1, R2, R5, R6, R7}, {"16430", "1469", "15520", "46256", "2"});
}

TEST(Rpt2010001Rows, BeginDateThatIsNoDateFailsWithTheConversionError) {
  try {
    Report(Dict({{"FBeginDate", "abc"}}));
    ADD_FAILURE() << "failure reported as success";
  } catch (const platform::AutomationError& e) {
    EXPECT_EQ(e.number(), static_cast<int32_t>(0x80040E07));
    EXPECT_EQ(e.source(), "Orvalent.CRPT2010001.GetRptData");
    EXPECT_EQ(e.description(), "Conversion failed when converting date and/or time from character string.");
  }
  // The shared database is unharmed: the next call sees every line.
  ExpectReport(Report(ConditionDictionary()), {R1, R2, R3, R4, R5, R6, R7}, kAllLines);
}

TEST(Rpt2010001Rows, RecordSetHasTheThirtyOneColumnsWithTheirTypes) {
  using platform::DataTypeEnum;
  const ConditionDictionary dct;
  const std::shared_ptr<platform::Recordset> rows = RunReport(kProgId, TinySession(), &dct);
  EXPECT_EQ(rows->ActiveConnection(), nullptr);
  const std::vector<std::pair<std::string, char>> columns = {
      {"FDate", 'd'},         {"FFinDate", 'd'},       {"FInvoiceType", 't'},   {"FInvoiceNumber", 't'},
      {"FSupplyNumber", 't'}, {"FSupplyName", 't'},    {"FItemNumber", 't'},    {"FItemName", 't'},
      {"FModel", 't'},        {"FAuxPropertyID", 't'}, {"FCurrencyID", 't'},    {"FUnitID", 't'},
      {"FQty", 'n'},          {"FPrice", 'n'},         {"FBaseUnitID", 't'},    {"FBaseQty", 'n'},
      {"FBasePrice", 'n'},    {"FComUnitID", 't'},     {"FComQty", 'n'},        {"FComPrice", 'n'},
      {"FAmount", 'n'},       {"FTaxRate", 'n'},       {"FTaxAmt", 'n'},        {"FTotalAmt", 'n'},
      {"FTotalAmtFor", 'n'},  {"FChecker", 't'},       {"FNote", 't'},          {"FSumSort", 's'},
      {"FCurrencyDecimal", 's'}, {"FQtyDecimal", 's'}, {"FPriceDecimal", 's'},
  };
  const platform::Fields& fields = rows->Fields();
  ASSERT_EQ(fields.Count(), 31);
  for (int32_t i = 0; i < 31; ++i) {
    const platform::Field field = fields.Item(i);
    const auto& [name, kind] = columns[static_cast<size_t>(i)];
    SCOPED_TRACE(name);
    EXPECT_EQ(field.Name(), name);
    switch (kind) {
      case 'd':
        EXPECT_EQ(field.Type(), DataTypeEnum::adDBTimeStamp);
        break;
      case 't':
        EXPECT_EQ(field.Type(), DataTypeEnum::adVarWChar);
        EXPECT_EQ(field.DefinedSize(), 255);
        break;
      case 'n':
        EXPECT_EQ(field.Type(), DataTypeEnum::adNumeric);
        EXPECT_EQ(field.Precision(), 23);
        EXPECT_EQ(field.NumericScale(), 10);
        break;
      default:
        EXPECT_EQ(field.Type(), DataTypeEnum::adSmallInt);
        break;
    }
  }
  // A decimal keeps the column's scale: 1000 / 12 cut at ten places.
  const ResultTable table = ReadTable(*rows);
  for (size_t row : table.RowsWithSumSort("0")) {
    if (RowKey(table, row, kKey) != KeyOf(Lines()[R2])) continue;
    rows->SetAbsolutePosition(static_cast<int32_t>(row) + 1);
    const Variant base_price = rows->Collect("FBasePrice");
    EXPECT_EQ(base_price.type(), platform::VarType::Decimal);
    EXPECT_EQ(base_price.decimal_scale(), 10);
    EXPECT_EQ(base_price.decimal_unscaled(), static_cast<__int128>(833333333333LL));
  }
}

}  // namespace
}  // namespace orv::test
