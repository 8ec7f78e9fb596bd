// Parts of the command line checked without a process: where a script's
// batches end, how a number is rounded for display, how script bytes are
// decoded, and how the report view shapes a table.
#include <gtest/gtest.h>

#include "cli/batch_builder.h"
#include "cli/report_view.h"
#include "cli/script_text.h"
#include "platform/class_registry.h"
#include "reports/report_catalog.h"

namespace orv::cli {
namespace {

using Kind = ScriptCommand::Kind;

// The batches of `script` as the builder cuts them (each GO's count after a "x").
std::vector<std::string> Batches(std::string_view script) {
  BatchBuilder builder;
  std::vector<std::string> batches;
  while (!script.empty()) {
    const size_t end = script.find('\n');
    const ScriptCommand command = builder.AddLine(script.substr(0, end));
    script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
    if (command.kind == Kind::Go) batches.push_back(builder.TakeBatch() + "x" + std::to_string(command.repeat));
  }
  batches.push_back(builder.TakeBatch());
  return batches;
}

TEST(BatchBuilder, AGoLineEndsABatchOnlyOutsideStringsNamesAndComments) {
  EXPECT_EQ(Batches("SELECT 1\n go \t\nSELECT 2\r\nGo 3\r\nSELECT 3"),
            (std::vector<std::string>{"SELECT 1\nx1", "SELECT 2\r\nx3", "SELECT 3\n"}));
  // Inside a string (with a doubled quote), a quoted name, a nested block
  // comment: text. After a line comment: a command again.
  EXPECT_EQ(Batches("SELECT 'it''s\nGO\n'\nSELECT [a\nGO\n]\n/* /* */\nGO\n*/ -- 'x\nGO"),
            (std::vector<std::string>{"SELECT 'it''s\nGO\n'\nSELECT [a\nGO\n]\n/* /* */\nGO\n*/ -- 'x\nx1", ""}));
  EXPECT_EQ(Batches("SELECT \"a\nGO\n\"\nGOTO done\nGO"),
            (std::vector<std::string>{"SELECT \"a\nGO\n\"\nGOTO done\nx1", ""}));
}

TEST(BatchBuilder, CommandsAndTheirMistakes) {
  BatchBuilder builder;
  EXPECT_EQ(builder.AddLine(" :QUIT ").kind, Kind::Quit);
  EXPECT_EQ(builder.AddLine("exit").kind, Kind::Quit);
  EXPECT_EQ(builder.AddLine("Reset").kind, Kind::Reset);
  EXPECT_EQ(builder.AddLine("exit(SELECT 1)").kind, Kind::None);  // not supported: left to the server
  EXPECT_EQ(builder.AddLine("GO 2147483647").repeat, 2147483647);
  for (const char* line : {"GO 0", "GO 2147483648", "GO +1", "GO 1 2", "go;"}) {
    EXPECT_EQ(builder.AddLine(line).kind, line == std::string("go;") ? Kind::None : Kind::Invalid) << line;
  }
  builder.Reset();
  EXPECT_TRUE(builder.IsBlank());
  builder.AddLine("  \t");
  EXPECT_TRUE(builder.IsBlank());
  EXPECT_EQ(builder.line_count(), 1u);
}

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

TEST(DecodeScript, RemovesMarksAndReadsUtf16) {
  EXPECT_EQ(DecodeScript("\xEF\xBB\xBFSELECT 1", "s"), "SELECT 1");
  EXPECT_EQ(DecodeScript(std::string("\xFF\xFEG\0O\0", 6), "s"), "GO");
  EXPECT_EQ(DecodeScript(std::string("\xFE\xFF\0G\0O", 6), "s"), "GO");
  EXPECT_EQ(DecodeScript(std::string("G\0O\0", 4), "s"), "GO");
  // A surrogate pair: U+20000 (𠀀) is D840 DC00.
  EXPECT_EQ(DecodeScript(std::string("\xFF\xFE\x40\xD8\x00\xDC", 6), "s"), "\xF0\xA0\x80\x80");
  EXPECT_EQ(DecodeScript("", "s"), "");
  EXPECT_THROW(DecodeScript(std::string("\xFF\xFE\x00\xDC", 4), "s"), std::runtime_error);
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
}

}  // namespace
}  // namespace orv::cli
