// The view for people: rounding by the row's precision columns, captions,
// hidden internal columns and the kinds of rows FSumSort marks.
#include "results/report_view.h"

#include <gtest/gtest.h>

#include "platform/class_registry.h"
#include "reports/report_catalog.h"

namespace orv::results {
namespace {

TEST(RoundDecimalText, RoundsHalfAwayFromZeroAndPadsToTheDecimals) {
  EXPECT_EQ(RoundDecimalText("83.3333333333", 4), "83.3333");
  EXPECT_EQ(RoundDecimalText("2.5", 0), "3");
  EXPECT_EQ(RoundDecimalText("-2.5", 0), "-3");
  EXPECT_EQ(RoundDecimalText("0.125", 2), "0.13");
  EXPECT_EQ(RoundDecimalText("9.995", 2), "10.00");
  EXPECT_EQ(RoundDecimalText("-999.9996", 3), "-1000.000");
  EXPECT_EQ(RoundDecimalText("-0.0004", 3), "0.000");
  EXPECT_EQ(RoundDecimalText("12", 3), "12.000");
  EXPECT_EQ(RoundDecimalText("12345678901234567.89", 1), "12345678901234567.9");
  EXPECT_EQ(RoundDecimalText("1.5E+20", 2), std::nullopt);
  EXPECT_EQ(RoundDecimalText("", 2), std::nullopt);
  EXPECT_EQ(RoundDecimalText(".5", 2), std::nullopt);
  EXPECT_EQ(RoundDecimalText("1.2.3", 2), std::nullopt);
}

TEST(ReportView, MarksTotalsHidesInternalColumnsAndLeavesUnknownColumnsAlone) {
  platform::RegisterPlatformClasses();
  const frame::ReportSchema& schema = reports::rpt2010006::Schema();
  ResultTable table;
  table.columns = {{"FName1", ""}, {"FItemID", "int"}, {"FCheckQty", "decimal(23,10)"}, {"FExtra", ""},
                   {"FSumSort", "smallint"}, {"FQtyDecimal", "int"}};
  table.rows = {
      {{CellKind::Text, "A"}, {CellKind::Integer, "7"}, {CellKind::Decimal, "1.005"}, {CellKind::Text, "x"},
       {CellKind::Integer, "0"}, {CellKind::Integer, "2"}},
      {{CellKind::Text, "A"}, {CellKind::Null, ""}, {CellKind::Decimal, "1.005"}, {CellKind::Text, "x"},
       {CellKind::Integer, "103"}, {CellKind::Null, ""}},
      {{CellKind::Null, ""}, {CellKind::Null, ""}, {CellKind::Decimal, "2.5"}, {CellKind::Null, ""},
       {CellKind::Integer, "101"}, {CellKind::Decimal, "1.0000"}},
  };
  const ResultTable shown = ApplyReportView(table, schema, "en", {true, true, true, true});
  ASSERT_EQ(shown.columns.size(), 4u);
  EXPECT_EQ(shown.columns[0].name, "");
  EXPECT_EQ(shown.columns[1].name, "Level 1 Name");
  EXPECT_EQ(shown.columns[2].name, "Requisitioned Quantity");
  EXPECT_EQ(shown.columns[3].name, "FExtra");
  const auto texts = [&](size_t row) {
    std::vector<std::string> cells;
    for (const Cell& cell : shown.rows[row]) cells.push_back(cell.text);
    return cells;
  };
  // Two decimals; a NULL precision leaves the value; 1.0000 is a whole 1.
  EXPECT_EQ(texts(0), (std::vector<std::string>{"", "A", "1.01", "x"}));
  EXPECT_EQ(texts(1), (std::vector<std::string>{"Subtotal", "A", "1.005", "x"}));
  EXPECT_EQ(texts(2), (std::vector<std::string>{"Total", "", "2.5", ""}));
  // Without the view the table is untouched.
  const ResultTable raw = ApplyReportView(table, schema, "en", {});
  EXPECT_EQ(raw.columns.size(), table.columns.size());
  EXPECT_EQ(raw.rows[0][2].text, "1.005");

  // Read row by row into one reused row, in any order (a table is measured,
  // then printed), the view gives each row as the whole table has it: no
  // rounding, mark or text is left over from the row read before.
  const TableRows rows(table);
  const ReportViewRows view(rows, schema, "en", {true, true, true, true});
  std::vector<Cell> cells;
  for (const size_t r : {size_t{0}, size_t{2}, size_t{1}, size_t{0}, size_t{2}}) {
    view.Row(r, cells);
    std::vector<std::string> read;
    for (const Cell& cell : cells) read.push_back(cell.text);
    EXPECT_EQ(read, texts(r)) << "row " << r;
    EXPECT_EQ(cells[1].kind, shown.rows[r][1].kind) << "row " << r;
  }
}

// 101 + i is the subtotal over the first i group columns; 119 + i a rolled-up
// name column i; NULL, 0 and values below 101 are detail lines.
TEST(ClassifyRow, ReadsTheSummaryClassOfFSumSort) {
  const auto classify = [](CellKind kind, std::string text) {
    const RowClass row = ClassifyRow({kind, std::move(text)});
    return std::make_pair(row.kind, row.level);
  };
  EXPECT_EQ(classify(CellKind::Integer, "0"), std::make_pair(RowKind::Detail, 0));
  EXPECT_EQ(classify(CellKind::Null, ""), std::make_pair(RowKind::Detail, 0));
  EXPECT_EQ(classify(CellKind::Integer, "100"), std::make_pair(RowKind::Detail, 0));
  EXPECT_EQ(classify(CellKind::Integer, "101"), std::make_pair(RowKind::Total, 0));
  EXPECT_EQ(classify(CellKind::Integer, "102"), std::make_pair(RowKind::Subtotal, 1));
  EXPECT_EQ(classify(CellKind::Integer, "103"), std::make_pair(RowKind::Subtotal, 2));
  EXPECT_EQ(classify(CellKind::Integer, "120"), std::make_pair(RowKind::Subtotal, 1));
  EXPECT_EQ(classify(CellKind::Decimal, "102.0"), std::make_pair(RowKind::Subtotal, 1));
  EXPECT_EQ(classify(CellKind::Text, "102"), std::make_pair(RowKind::Detail, 0));

  ResultTable table;
  table.columns = {{"FSUMSORT", "smallint"}};
  table.rows = {{{CellKind::Integer, "0"}}, {{CellKind::Integer, "101"}}};
  const std::vector<RowClass> classes = ClassifyRows(table);
  ASSERT_EQ(classes.size(), 2u);
  EXPECT_EQ(classes[1].kind, RowKind::Total);
  table.columns[0].name = "FOther";
  EXPECT_EQ(ClassifyRows(table)[1].kind, RowKind::Detail);
}

}  // namespace
}  // namespace orv::results
