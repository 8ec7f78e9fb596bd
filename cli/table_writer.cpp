// The aligned table of the server's command-line client: a header, a rule of
// dashes, the rows, a blank line; numbers to the right, messages on lines of
// their own where they come.
#include <algorithm>
#include <ostream>

#include "cli/result_writer.h"

namespace orv::cli {
namespace {

class TableWriter : public ResultWriter {
 public:
  TableWriter(std::ostream& out, const OutputSettings& settings)
      : out_(out), settings_(settings), null_text_(settings.null_text.value_or("NULL")) {}

  // Two readings of the rows: the widths first, then the lines.
  void Result(const results::RowSource& rows) override {
    const std::vector<ResultColumn>& columns = rows.columns();
    Measure(rows);
    if (settings_.headers_every >= 0) WriteHeader(columns);
    std::vector<Cell> row;
    for (size_t r = 0; r < rows.row_count(); ++r) {
      if (settings_.headers_every > 0 && r > 0 && r % static_cast<size_t>(settings_.headers_every) == 0) {
        WriteHeader(columns);
      }
      rows.Row(r, row);
      WriteRow(row);
    }
    out_ << '\n';
  }

  void Message(std::string_view text) override { out_ << text << '\n'; }

 private:
  const std::string& Shown(const Cell& cell) const { return cell.kind == CellKind::Null ? null_text_ : cell.text; }

  // A column of numbers (NULLs aside) is aligned to the right, NULLs included.
  void Measure(const results::RowSource& rows) {
    const std::vector<ResultColumn>& columns = rows.columns();
    widths_.assign(columns.size(), 0);
    for (size_t c = 0; c < columns.size(); ++c) widths_[c] = DisplayWidth(columns[c].name);
    std::vector<bool> any_number(columns.size(), false);
    std::vector<bool> only_numbers(columns.size(), true);
    std::vector<Cell> row;
    for (size_t r = 0; r < rows.row_count(); ++r) {
      rows.Row(r, row);
      for (size_t c = 0; c < columns.size(); ++c) {
        if (!settings_.trim) widths_[c] = std::max(widths_[c], DisplayWidth(Shown(row[c])));
        if (row[c].kind == CellKind::Null) continue;
        any_number[c] = any_number[c] || IsNumber(row[c].kind);
        only_numbers[c] = only_numbers[c] && IsNumber(row[c].kind);
      }
    }
    right_.assign(columns.size(), false);
    for (size_t c = 0; c < columns.size(); ++c) right_[c] = any_number[c] && only_numbers[c];
  }

  // Pads to the column's width unless trimming; the last column is never
  // padded on the right, so no line ends in blanks.
  void WriteCell(size_t c, const std::string& text, bool right) {
    if (c > 0) out_ << settings_.separator;
    const size_t used = DisplayWidth(text);
    const size_t pad = settings_.trim || used >= widths_[c] ? 0 : widths_[c] - used;
    if (right) out_ << std::string(pad, ' ');
    out_ << text;
    if (!right && c + 1 < widths_.size()) out_ << std::string(pad, ' ');
  }

  void WriteHeader(const std::vector<ResultColumn>& columns) {
    for (size_t c = 0; c < columns.size(); ++c) WriteCell(c, columns[c].name, false);
    out_ << '\n';
    for (size_t c = 0; c < columns.size(); ++c) {
      const size_t dashes = settings_.trim ? DisplayWidth(columns[c].name) : widths_[c];
      WriteCell(c, std::string(dashes, '-'), false);
    }
    out_ << '\n';
  }

  void WriteRow(const std::vector<Cell>& row) {
    for (size_t c = 0; c < row.size(); ++c) WriteCell(c, Shown(row[c]), right_[c]);
    out_ << '\n';
  }

  std::ostream& out_;
  OutputSettings settings_;
  std::string null_text_;
  std::vector<size_t> widths_;
  std::vector<bool> right_;
};

}  // namespace

std::unique_ptr<ResultWriter> MakeTableWriter(std::ostream& out, const OutputSettings& settings) {
  return std::make_unique<TableWriter>(out, settings);
}

}  // namespace orv::cli
