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

  void Result(const ResultTable& table) override {
    Measure(table);
    if (settings_.headers_every >= 0) WriteHeader(table);
    for (size_t r = 0; r < table.rows.size(); ++r) {
      if (settings_.headers_every > 0 && r > 0 && r % static_cast<size_t>(settings_.headers_every) == 0) {
        WriteHeader(table);
      }
      WriteRow(table.rows[r]);
    }
    out_ << '\n';
  }

  void Message(std::string_view text) override { out_ << text << '\n'; }

 private:
  const std::string& Shown(const Cell& cell) const { return cell.kind == CellKind::Null ? null_text_ : cell.text; }

  void Measure(const ResultTable& table) {
    widths_.assign(table.columns.size(), 0);
    right_.assign(table.columns.size(), false);
    for (size_t c = 0; c < table.columns.size(); ++c) {
      widths_[c] = DisplayWidth(table.columns[c].name);
      // A column of numbers (NULLs aside) is aligned to the right, NULLs included.
      bool any_number = false;
      bool only_numbers = true;
      for (const auto& row : table.rows) {
        if (!settings_.trim) widths_[c] = std::max(widths_[c], DisplayWidth(Shown(row[c])));
        if (row[c].kind == CellKind::Null) continue;
        any_number = any_number || IsNumber(row[c].kind);
        only_numbers = only_numbers && IsNumber(row[c].kind);
      }
      right_[c] = any_number && only_numbers;
    }
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

  void WriteHeader(const ResultTable& table) {
    for (size_t c = 0; c < table.columns.size(); ++c) WriteCell(c, table.columns[c].name, false);
    out_ << '\n';
    for (size_t c = 0; c < table.columns.size(); ++c) {
      const size_t dashes = settings_.trim ? DisplayWidth(table.columns[c].name) : widths_[c];
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
