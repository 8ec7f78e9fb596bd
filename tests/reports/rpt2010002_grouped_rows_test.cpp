// The expense invoice report grouped, run end to end on the tiny demo
// database: for each of the six grouping options, without and with the
// levels 1 to 2, every detail line, every subtotal with its sums and label,
// and the grand total, worked out by hand (demo/tiny-expected.md); summary
// rows only; the option whose level range the database rejects.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/automation_error.h"
#include "tests/reports/rpt2010002_lines.h"
#include "tests/toolkit/condition_dict.h"

namespace orv::test::rpt2010002 {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

ResultTable Grouped(std::initializer_list<std::pair<const char*, Variant>> entries, std::string_view language = "chs") {
  ConditionDictionary dct = Dict(entries);
  dct.Set("FChkGroupBy", 1);
  return ReadTable(*RunReport(kProgId, TinySession(language), &dct));
}

ConditionDictionary LevelsOneToTwo(const char* key, const char* value) {
  return Dict({{"FChkGroupBy", 1}, {key, value}, {"FLvlFrom", 1}, {"FLvlTo", 2}});
}

ResultTable Report(const ConditionDictionary& dct) { return ReadTable(*RunReport(kProgId, TinySession(), &dct)); }

// --- What the summary does to the detail lines --------------------------------

// A grouped field's number and name come from the base data joined to the
// summary, not from the detail row: where the base row is missing (supplier
// and fee 999, expense types 41201 of another list and 0), they are NULL, not ''.
enum class Field { kSupplier, kFee, kExpenseType };

void FromSummary(std::vector<RowValues>& rows, Field field) {
  for (RowValues& row : rows) {
    if (field == Field::kSupplier && row["FSupplyID"] == "999") row["FSupplyNumber"] = row["FSupplyName"] = "NULL";
    if (field == Field::kFee && row["FFeeID"] == "999") row["FFeeNumber"] = row["FFeeName"] = "NULL";
    if (field == Field::kExpenseType && (row["FExpenseTypeID"] == "41201" || row["FExpenseTypeID"] == "0")) {
      row["FExpenseTypeNumber"] = row["FExpenseTypeName"] = "NULL";
    }
  }
}

// The four level columns: number and name of the level-1 and level-2 ancestor.
using Levels = std::vector<std::string>;
const std::vector<std::string> kLevelColumns = {"FNumber1", "FName1", "FNumber2", "FName2"};

// Supplier levels: 402 and 403 sit under 01 华东供应商; 406 ("00") is at level 1
// itself and has nothing at level 2; 999 is in no level table.
Levels SupplierLevels(const std::string& supplier) {
  if (supplier == "402") return {"01", "华东供应商", "01.001", "上海精工有限公司"};
  if (supplier == "403") return {"01", "华东供应商", "01.002", "O'Neil Trading"};
  if (supplier == "406") return {"00", "Acme 直供", "NULL", "NULL"};
  return {"NULL", "NULL", "NULL", "NULL"};
}

// Fee levels: 502 (01.01) under 01 运输费; 503 ("02") and 504 ("") at level 1.
Levels FeeLevels(const std::string& fee) {
  if (fee == "502") return {"01", "运输费", "01.01", "国内运输"};
  if (fee == "503") return {"02", "安装费", "NULL", "NULL"};
  if (fee == "504") return {"", "杂费", "NULL", "NULL"};
  return {"NULL", "NULL", "NULL", "NULL"};
}

std::vector<RowValues> Details(std::initializer_list<Field> grouped, Levels (*levels)(const std::string&) = nullptr,
                               const char* level_key = "") {
  std::vector<RowValues> rows = Lines();
  for (Field field : grouped) FromSummary(rows, field);
  if (levels) {
    for (RowValues& row : rows) {
      const Levels values = levels(row[level_key]);
      for (size_t i = 0; i < kLevelColumns.size(); ++i) row[kLevelColumns[i]] = values[i];
    }
  }
  return rows;
}

// --- Summary rows ---------------------------------------------------------------

// A summary row: every column of the result NULL but the sums, the
// precisions (the largest, 4) and FSumSort; `values` adds the group columns.
RowValues SummaryRow(const ResultTable& table, const std::string& sum_sort, const Sums& sums,
                     const std::map<std::string, std::string>& values) {
  RowValues row;
  for (const std::string& column : table.columns) row[column] = "NULL";
  row["FQty"] = sums.qty;
  row["FAmountFor"] = sums.amount_for;
  row["FTaxAmtFor"] = sums.tax_for;
  row["FAmtNoTaxFor"] = sums.no_tax_for;
  row["FQtyDecimal"] = row["FPriceDecimal"] = "4";
  row["FSumSort"] = sum_sort;
  for (const auto& [column, value] : values) row[column] = value;
  return row;
}

void ExpectGrouped(const ResultTable& table, const std::vector<RowValues>& details,
                   const std::vector<std::string>& summary_key, const std::vector<RowValues>& summaries) {
  EXPECT_EQ(table.rows.size(), details.size() + summaries.size());
  EXPECT_TRUE(DetailRowsMatch(table, kKey, details));
  EXPECT_TRUE(SummaryRowsMatch(table, summary_key, summaries));
}

// Sums of the groups, from the lines' own measures (rpt2010002_lines.h):
// E1 (1, 545, 45, 500), E2 (0, 0, 0, 0), E3 (2, 109, 9, 100), E4 (1, 200, 0, 200),
// E5 (3, 3180, 180, 3000), E6 (1, 400, 0, 400).
const Sums kSupplier402{"1", "545", "45", "500"};     // E1 + E2
const Sums kSupplier406{"4", "3580", "180", "3400"};  // E5 + E6
const Sums kFee502{"4", "1054", "54", "1000"};        // E1 + E3 + E6
const Sums kType41101{"2", "945", "45", "900"};       // E1 + E6
const Sums kType41102{"3", "3180", "180", "3000"};    // E2 + E5
const Sums kLevel01{"3", "654", "54", "600"};         // supplier level 01: E1 + E2 + E3

const std::vector<std::string> kSupplierColumns = {"FSupplyID", "FSupplyNumber", "FSupplyName"};
const std::vector<std::string> kFeeColumns = {"FFeeID", "FFeeNumber", "FFeeName"};
const std::vector<std::string> kTypeColumns = {"FExpenseTypeID", "FExpenseTypeNumber", "FExpenseTypeName"};
const std::vector<std::string> kFixedColumns = {
    "FDate",      "FBillNo",    "FCurrency",   "FUnit",        "FPrice",      "FTaxRate",
    "FAmount",    "FTaxAmt",    "FAmtNoTax",   "FQty",         "FAmountFor",  "FTaxAmtFor",
    "FAmtNoTaxFor", "FQtyDecimal", "FPriceDecimal", "FChecker", "FNote",       "FSumSort"};

std::vector<std::string> Columns(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> columns;
  for (const auto& part : parts) columns.insert(columns.end(), part.begin(), part.end());
  columns.insert(columns.end(), kFixedColumns.begin(), kFixedColumns.end());
  return columns;
}

// --- Without a level range ----------------------------------------------------------

TEST(Rpt2010002Grouped, SupplierGetsASubtotalPerSupplierFromTheReportIdentifier) {
  // Group list T1.FSupplyID, T1.FRptID: the rows where FRptID is rolled up
  // (102) are one per supplier, labelled in the supplier name.
  const ResultTable table = Grouped({{"FGroupBySupply", "0"}});
  EXPECT_EQ(table.columns, Columns({kSupplierColumns, kFeeColumns, kTypeColumns}));
  ExpectGrouped(table, Details({Field::kSupplier}), {"FSumSort", "FSupplyID"},
                {SummaryRow(table, "102", kSupplier402, {{"FSupplyID", "402"}, {"FSupplyNumber", "01.001"},
                                                        {"FSupplyName", "上海精工有限公司(小计)"}}),
                 SummaryRow(table, "102", LineSums(E3), {{"FSupplyID", "403"}, {"FSupplyNumber", "01.002"},
                                                        {"FSupplyName", "O'Neil Trading(小计)"}}),
                 SummaryRow(table, "102", kSupplier406, {{"FSupplyID", "406"}, {"FSupplyNumber", "00"},
                                                        {"FSupplyName", "Acme 直供(小计)"}}),
                 SummaryRow(table, "102", LineSums(E4), {{"FSupplyID", "999"}, {"FSupplyName", "(小计)"}}),
                 SummaryRow(table, "101", kAllLines, {{"FSupplyName", "(合计)"}})});
}

TEST(Rpt2010002Grouped, WithoutTheReportIdentifierTheLastGroupHasNoSubtotal) {
  // Supplier levels ("1") and fee levels ("2") drop FRptID: the only group
  // column is the finest grouping, so only the grand total is added.
  const ResultTable suppliers = Grouped({{"FGroupBySupplyType", "1"}});
  EXPECT_EQ(suppliers.columns, Columns({kSupplierColumns, kFeeColumns, kTypeColumns}));
  ExpectGrouped(suppliers, Details({Field::kSupplier}), {"FSumSort"},
                {SummaryRow(suppliers, "101", kAllLines, {{"FSupplyName", "(合计)"}})});

  const ResultTable fees = Grouped({{"FGroupByExpense", "2"}});
  EXPECT_EQ(fees.columns, Columns({kFeeColumns, kSupplierColumns, kTypeColumns}));
  ExpectGrouped(fees, Details({Field::kFee}), {"FSumSort"},
                {SummaryRow(fees, "101", kAllLines, {{"FFeeName", "(合计)"}})});
}

TEST(Rpt2010002Grouped, ExpenseTypeSubtotalsIncludeTypesOutsideTheCodeList) {
  const ResultTable table = Grouped({{"FGroupByExpenseType", "3"}});
  EXPECT_EQ(table.columns, Columns({kTypeColumns, kSupplierColumns, kFeeColumns}));
  ExpectGrouped(
      table, Details({Field::kExpenseType}), {"FSumSort", "FExpenseTypeID"},
      {SummaryRow(table, "102", kType41101, {{"FExpenseTypeID", "41101"}, {"FExpenseTypeNumber", "01"},
                                             {"FExpenseTypeName", "运杂费(小计)"}}),
       SummaryRow(table, "102", kType41102, {{"FExpenseTypeID", "41102"}, {"FExpenseTypeNumber", "02"},
                                             {"FExpenseTypeName", "安装调试费(小计)"}}),
       SummaryRow(table, "102", LineSums(E3), {{"FExpenseTypeID", "41201"}, {"FExpenseTypeName", "(小计)"}}),
       SummaryRow(table, "102", LineSums(E4), {{"FExpenseTypeID", "0"}, {"FExpenseTypeName", "(小计)"}}),
       SummaryRow(table, "101", kAllLines, {{"FExpenseTypeName", "(合计)"}})});
}

// Fee then supplier, FRptID kept ("4" and "5" alike without levels): a
// subtotal per fee and supplier (103, in the supplier name), one per fee (102,
// in the fee name), the total in the fee name.
std::vector<RowValues> FeeSupplierSummaries(const ResultTable& table) {
  auto pair = [&](Line line, const char* fee_number, const char* fee_name, const char* supplier_number,
                  const char* supplier_label) {
    const RowValues& source = Lines().at(line);
    return SummaryRow(table, "103", LineSums(line),
                      {{"FFeeID", source.at("FFeeID")}, {"FFeeNumber", fee_number}, {"FFeeName", fee_name},
                       {"FSupplyID", source.at("FSupplyID")}, {"FSupplyNumber", supplier_number},
                       {"FSupplyName", supplier_label}});
  };
  return {pair(E1, "01.01", "国内运输", "01.001", "上海精工有限公司(小计)"),
          pair(E2, "02", "安装费", "01.001", "上海精工有限公司(小计)"),
          pair(E3, "01.01", "国内运输", "01.002", "O'Neil Trading(小计)"),
          pair(E4, "NULL", "NULL", "NULL", "(小计)"),
          pair(E5, "", "杂费", "00", "Acme 直供(小计)"),
          pair(E6, "01.01", "国内运输", "00", "Acme 直供(小计)"),
          SummaryRow(table, "102", kFee502, {{"FFeeID", "502"}, {"FFeeNumber", "01.01"}, {"FFeeName", "国内运输(小计)"}}),
          SummaryRow(table, "102", LineSums(E2), {{"FFeeID", "503"}, {"FFeeNumber", "02"}, {"FFeeName", "安装费(小计)"}}),
          SummaryRow(table, "102", LineSums(E5), {{"FFeeID", "504"}, {"FFeeNumber", ""}, {"FFeeName", "杂费(小计)"}}),
          SummaryRow(table, "102", LineSums(E4), {{"FFeeID", "999"}, {"FFeeName", "(小计)"}}),
          SummaryRow(table, "101", kAllLines, {{"FFeeName", "(合计)"}})};
}

TEST(Rpt2010002Grouped, FeeAndSupplierOptionsSubtotalBothLevels) {
  for (const auto& [key, value] : std::vector<std::pair<const char*, const char*>>{{"FGroupBySupAndExp", "4"},
                                                                                    {"FGroupByExpAndSup", "5"}}) {
    SCOPED_TRACE(key);
    const ResultTable table = Grouped({{key, value}});
    EXPECT_EQ(table.columns, Columns({kFeeColumns, kSupplierColumns, kTypeColumns}));
    ExpectGrouped(table, Details({Field::kFee, Field::kSupplier}), {"FSumSort", "FFeeID", "FSupplyID"},
                  FeeSupplierSummaries(table));
  }
}

TEST(Rpt2010002Grouped, ShowSumReturnsOnlyTheSummaryRows) {
  const ResultTable table = Grouped({{"FGroupBySupply", "0"}, {"FShowSum", 1}});
  EXPECT_EQ(table.rows.size(), 5u);  // four supplier subtotals and the total
  EXPECT_TRUE(table.RowsWithSumSort("0").empty());
  EXPECT_EQ(table.RowsWithSumSort("102").size(), 4u);
  const ResultTable fees = Grouped({{"FGroupBySupAndExp", "4"}, {"FShowSum", "1"}});
  EXPECT_TRUE(SummaryRowsMatch(fees, {"FSumSort", "FFeeID", "FSupplyID"}, FeeSupplierSummaries(fees)));
  EXPECT_EQ(fees.rows.size(), 11u);
}

TEST(Rpt2010002Grouped, FilterAndLanguageApplyToTheSummary) {
  // Audited invoices only (7001, 7003): E1, E2 of supplier 402 and E4 of 999.
  const ResultTable table = Grouped({{"FGroupBySupply", "0"}, {"FBillStatus", 0}}, "en");
  std::vector<RowValues> details = Pick(Details({Field::kSupplier}), std::vector<Line>{E1, E2, E4});
  ExpectGrouped(table, details, {"FSumSort", "FSupplyID"},
                {SummaryRow(table, "102", kSupplier402, {{"FSupplyID", "402"}, {"FSupplyNumber", "01.001"},
                                                        {"FSupplyName", "上海精工有限公司(Subtotal)"}}),
                 SummaryRow(table, "102", LineSums(E4), {{"FSupplyID", "999"}, {"FSupplyName", "(Subtotal)"}}),
                 // E1 + E2 + E4: 1+0+1, 545+0+200, 45+0+0, 500+0+200
                 SummaryRow(table, "101", {"2", "745", "45", "700"}, {{"FSupplyName", "(Total)"}})});
}

// --- Levels 1 to 2 ------------------------------------------------------------------

// Supplier levels: a subtotal per level-2 group (105, label in FName2) and per
// level-1 group (103, label in FName1), the total in FNumber1. Rows whose
// level name or supplier name was rolled up (120, 122, and 106 where FRptID
// is kept) repeat the row before them and are deleted.
std::vector<RowValues> SupplierLevelSummaries(const ResultTable& table, const std::map<std::string, std::string>& extra = {}) {
  auto row = [&](const char* sum_sort, const Sums& sums, Levels levels) {
    std::map<std::string, std::string> values = extra;
    for (size_t i = 0; i < kLevelColumns.size(); ++i) values[kLevelColumns[i]] = levels[i];
    return SummaryRow(table, sum_sort, sums, values);
  };
  return {row("105", kSupplier402, {"01", "华东供应商", "01.001", "上海精工有限公司(小计)"}),
          row("105", LineSums(E3), {"01", "华东供应商", "01.002", "O'Neil Trading(小计)"}),
          row("105", kSupplier406, {"00", "Acme 直供", "NULL", "(小计)"}),
          row("105", LineSums(E4), {"NULL", "NULL", "NULL", "(小计)"}),
          row("103", kLevel01, {"01", "华东供应商(小计)", "NULL", "NULL"}),
          row("103", kSupplier406, {"00", "Acme 直供(小计)", "NULL", "NULL"}),
          row("103", LineSums(E4), {"NULL", "(小计)", "NULL", "NULL"}),
          row("101", kAllLines, {"(合计)", "NULL", "NULL", "NULL"})};
}

TEST(Rpt2010002GroupedLevels, SupplierOptionsLeadWithTheSupplierLevels) {
  // With levels, "0" and "1" give the same rows: the supplier subtotals that
  // FRptID adds (106) are deleted as repeats.
  for (const auto& [key, value] : std::vector<std::pair<const char*, const char*>>{{"FGroupBySupply", "0"},
                                                                                    {"FGroupBySupplyType", "1"}}) {
    SCOPED_TRACE(key);
    const ResultTable table = Report(LevelsOneToTwo(key, value));
    EXPECT_EQ(table.columns, Columns({kLevelColumns, kSupplierColumns, kFeeColumns, kTypeColumns}));
    ExpectGrouped(table, Details({Field::kSupplier}, SupplierLevels, "FSupplyID"),
                  {"FSumSort", "FNumber1", "FNumber2"}, SupplierLevelSummaries(table));
  }
}

TEST(Rpt2010002GroupedLevels, FeeLevelsIncludeTheFeeWithoutANumber) {
  const ResultTable table = Report(LevelsOneToTwo("FGroupByExpense", "2"));
  EXPECT_EQ(table.columns, Columns({kLevelColumns, kFeeColumns, kSupplierColumns, kTypeColumns}));
  auto row = [&](const char* sum_sort, const Sums& sums, Levels levels) {
    std::map<std::string, std::string> values;
    for (size_t i = 0; i < kLevelColumns.size(); ++i) values[kLevelColumns[i]] = levels[i];
    return SummaryRow(table, sum_sort, sums, values);
  };
  ExpectGrouped(table, Details({Field::kFee}, FeeLevels, "FFeeID"), {"FSumSort", "FNumber1", "FNumber2"},
                {row("105", kFee502, {"01", "运输费", "01.01", "国内运输(小计)"}),
                 row("105", LineSums(E2), {"02", "安装费", "NULL", "(小计)"}),
                 row("105", LineSums(E5), {"", "杂费", "NULL", "(小计)"}),
                 row("105", LineSums(E4), {"NULL", "NULL", "NULL", "(小计)"}),
                 row("103", kFee502, {"01", "运输费(小计)", "NULL", "NULL"}),
                 row("103", LineSums(E2), {"02", "安装费(小计)", "NULL", "NULL"}),
                 row("103", LineSums(E5), {"", "杂费(小计)", "NULL", "NULL"}),
                 row("103", LineSums(E4), {"NULL", "(小计)", "NULL", "NULL"}),
                 row("101", kAllLines, {"(合计)", "NULL", "NULL", "NULL"})});
}

TEST(Rpt2010002GroupedLevels, SupplierAndExpenseKeepsAFeeSubtotalUnderEachSupplier) {
  // Code 8: the supplier's levels lead, then fee, supplier, FRptID. Kept:
  // 106 (supplier rolled up: one per level path and fee, label in the fee
  // name), 105, 103, 101; deleted: 120, 122 and 107 (label in the supplier name).
  const ResultTable table = Report(LevelsOneToTwo("FGroupBySupAndExp", "4"));
  EXPECT_EQ(table.columns, Columns({kLevelColumns, kFeeColumns, kSupplierColumns, kTypeColumns}));
  std::vector<RowValues> summaries = SupplierLevelSummaries(table);
  auto fee_row = [&](Line line, const char* fee_number, const char* fee_label) {
    const RowValues& source = Lines().at(line);
    const Levels levels = SupplierLevels(source.at("FSupplyID"));
    std::map<std::string, std::string> values = {
        {"FFeeID", source.at("FFeeID")}, {"FFeeNumber", fee_number}, {"FFeeName", fee_label}};
    for (size_t i = 0; i < kLevelColumns.size(); ++i) values[kLevelColumns[i]] = levels[i];
    return SummaryRow(table, "106", LineSums(line), values);
  };
  for (const RowValues& row : {fee_row(E1, "01.01", "国内运输(小计)"), fee_row(E2, "02", "安装费(小计)"),
                               fee_row(E3, "01.01", "国内运输(小计)"), fee_row(E4, "NULL", "(小计)"),
                               fee_row(E5, "", "杂费(小计)"), fee_row(E6, "01.01", "国内运输(小计)")}) {
    summaries.push_back(row);
  }
  ExpectGrouped(table, Details({Field::kFee, Field::kSupplier}, SupplierLevels, "FSupplyID"),
                {"FSumSort", "FNumber1", "FNumber2", "FFeeID"}, summaries);
}

TEST(Rpt2010002GroupedLevels, ExpenseAndSupplierKeepsASupplierSubtotalUnderEachFee) {
  // Code 2014: the fee's levels lead. Kept: 107 (FRptID rolled up: one per
  // fee and supplier, label in the supplier name), 105, 103, 101; deleted:
  // 120, 122 and 106 (label in the fee name).
  const ResultTable table = Report(LevelsOneToTwo("FGroupByExpAndSup", "5"));
  EXPECT_EQ(table.columns, Columns({kLevelColumns, kFeeColumns, kSupplierColumns, kTypeColumns}));
  auto row = [&](const char* sum_sort, const Sums& sums, Levels levels, std::map<std::string, std::string> values) {
    for (size_t i = 0; i < kLevelColumns.size(); ++i) values[kLevelColumns[i]] = levels[i];
    return SummaryRow(table, sum_sort, sums, values);
  };
  auto pair = [&](Line line, const char* fee_number, const char* fee_name, const char* supplier_number,
                  const char* supplier_label) {
    const RowValues& source = Lines().at(line);
    return row("107", LineSums(line), FeeLevels(source.at("FFeeID")),
               {{"FFeeID", source.at("FFeeID")}, {"FFeeNumber", fee_number}, {"FFeeName", fee_name},
                {"FSupplyID", source.at("FSupplyID")}, {"FSupplyNumber", supplier_number},
                {"FSupplyName", supplier_label}});
  };
  ExpectGrouped(table, Details({Field::kFee, Field::kSupplier}, FeeLevels, "FFeeID"),
                {"FSumSort", "FNumber1", "FNumber2", "FFeeID", "FSupplyID"},
                {pair(E1, "01.01", "国内运输", "01.001", "上海精工有限公司(小计)"),
                 pair(E2, "02", "安装费", "01.001", "上海精工有限公司(小计)"),
                 pair(E3, "01.01", "国内运输", "01.002", "O'Neil Trading(小计)"),
                 pair(E4, "NULL", "NULL", "NULL", "(小计)"),
                 pair(E5, "", "杂费", "00", "Acme 直供(小计)"),
                 pair(E6, "01.01", "国内运输", "00", "Acme 直供(小计)"),
                 row("105", kFee502, {"01", "运输费", "01.01", "国内运输(小计)"}, {}),
                 row("105", LineSums(E2), {"02", "安装费", "NULL", "(小计)"}, {}),
                 row("105", LineSums(E5), {"", "杂费", "NULL", "(小计)"}, {}),
                 row("105", LineSums(E4), {"NULL", "NULL", "NULL", "(小计)"}, {}),
                 row("103", kFee502, {"01", "运输费(小计)", "NULL", "NULL"}, {}),
                 row("103", LineSums(E2), {"02", "安装费(小计)", "NULL", "NULL"}, {}),
                 row("103", LineSums(E5), {"", "杂费(小计)", "NULL", "NULL"}, {}),
                 row("103", LineSums(E4), {"NULL", "(小计)", "NULL", "NULL"}, {}),
                 row("101", kAllLines, {"(合计)", "NULL", "NULL", "NULL"}, {})});
}

TEST(Rpt2010002GroupedLevels, ShowSumWithLevels) {
  ConditionDictionary dct = LevelsOneToTwo("FGroupBySupply", "0");
  dct.Set("FShowSum", 1);
  const ResultTable table = Report(dct);
  EXPECT_EQ(table.rows.size(), 8u);
  EXPECT_TRUE(SummaryRowsMatch(table, {"FSumSort", "FNumber1", "FNumber2"}, SupplierLevelSummaries(table)));
}

TEST(Rpt2010002GroupedLevels, ExpenseTypeWithLevelsIsRejectedWithTheSummaryAdvice) {
  // Expense types have no level item: the level join ends at "=" and the
  // database rejects the rollup. The caller gets the advice and the
  // database's words, never rows.
  const std::vector<std::pair<std::string, std::string>> languages = {
      {"chs", "指定了太多汇总列，请重新选择汇总方式！"},
      {"en", "Too many summary columns were specified. Please choose the summary mode again!"}};
  for (const auto& [language, advice] : languages) {
    SCOPED_TRACE(language);
    const ConditionDictionary dct = LevelsOneToTwo("FGroupByExpenseType", "3");
    try {
      RunReport(kProgId, TinySession(language), &dct);
      ADD_FAILURE() << "failure reported as success";
    } catch (const platform::AutomationError& e) {
      EXPECT_EQ(e.number(), platform::kErrCommandText);
      EXPECT_EQ(e.source(), "Orvalent.CRPT2010002.GetRptData");
      EXPECT_EQ(e.description(), advice + "\r\nIncorrect syntax near the keyword 'Group'.");
    }
  }
}

}  // namespace
}  // namespace orv::test::rpt2010002
