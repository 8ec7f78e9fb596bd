// The report's rows made readable: captions in the session language,
// numbers rounded to the decimals their row's precision columns give, the
// internal columns left out, and the kind of each row by FSumSort (a leading
// column can mark subtotal and total rows). Programs get the raw rows instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/report_schema.h"
#include "results/row_source.h"

namespace orv::results {

// What FSumSort says of a row: 0 a detail line, 101 the grand total, 101 + i
// the subtotal over the first i group columns, 119 + i a row whose name
// column i is rolled up. Anything else (NULL, no such column) is a detail line.
enum class RowKind { Detail, Subtotal, Total };
struct RowClass {
  RowKind kind = RowKind::Detail;
  int level = 0;  // i of a subtotal; 0 otherwise
};
RowClass ClassifyRow(const Cell& sum_sort);
// One class per row of `table`, all detail lines when it has no FSumSort.
std::vector<RowClass> ClassifyRows(const ResultTable& table);

// The first column named `name` in any letter case, as record set fields match.
std::optional<size_t> FindColumn(const std::vector<ResultColumn>& columns, std::string_view name);
std::optional<size_t> FindColumn(const ResultTable& table, std::string_view name);

struct ReportView {
  bool captions = false;
  bool precision = false;
  bool hide_internal = false;
  bool mark_totals = false;
};

// The view over `raw`, row by row; `raw` must outlive it.
class ReportViewRows final : public RowSource {
 public:
  ReportViewRows(const RowSource& raw, const frame::ReportSchema& schema, std::string_view language,
                 const ReportView& view);
  const std::vector<ResultColumn>& columns() const override { return columns_; }
  size_t row_count() const override { return raw_.row_count(); }
  void Row(size_t r, std::vector<Cell>& cells) const override;

 private:
  // A number column rounded by the decimals in its row's precision column.
  struct Rounded {
    size_t column;
    size_t source;
  };

  const RowSource& raw_;
  std::string language_;
  std::vector<ResultColumn> columns_;
  std::vector<Rounded> rounded_;
  std::vector<size_t> kept_;  // the raw columns shown, in order
  std::optional<size_t> sum_sort_;
  mutable std::vector<Cell> raw_cells_;
};

// The view of a table held whole.
ResultTable ApplyReportView(const ResultTable& table, const frame::ReportSchema& schema, std::string_view language,
                            const ReportView& view);

// `text` (a plain decimal: digits, an optional sign and point) rounded half
// away from zero to `decimals` places and written with exactly that many;
// nothing when the text is no plain decimal (an exponent, say).
std::optional<std::string> RoundDecimalText(std::string_view text, int decimals);

}  // namespace orv::results
