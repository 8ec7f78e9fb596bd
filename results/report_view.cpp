// A precision column holds a whole number of decimals; a NULL or odd value
// (negative, more than 28, a fraction) leaves the number as it is, as on the
// total rows, whose precision columns are often NULL.
#include "results/report_view.h"

#include <algorithm>
#include <charconv>

#include "frame/ignore_case.h"
#include "reports/report_catalog.h"
#include "toolkit/local_text.h"

namespace orv::results {
namespace {

constexpr int kMaxDecimals = 28;
constexpr int kGrandTotal = 101;
constexpr int kNameRollup = 119;

std::optional<int> WholeNumber(const Cell& cell) {
  if (cell.kind != CellKind::Integer && cell.kind != CellKind::Decimal) return std::nullopt;
  std::string_view text = cell.text;
  if (const size_t point = text.find('.'); point != std::string_view::npos) {
    if (text.find_first_not_of('0', point + 1) != std::string_view::npos) return std::nullopt;
    text = text.substr(0, point);
  }
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string TotalMark(const Cell& sum_sort, std::string_view language) {
  const RowClass row = ClassifyRow(sum_sort);
  if (row.kind == RowKind::Detail) return "";
  return toolkit::GetLocalText(row.kind == RowKind::Total ? "合计" : "小计", language);
}

}  // namespace

std::optional<size_t> FindColumn(const std::vector<ResultColumn>& columns, std::string_view name) {
  const std::string folded = frame::FoldCase(name);
  for (size_t c = 0; c < columns.size(); ++c) {
    if (frame::FoldCase(columns[c].name) == folded) return c;
  }
  return std::nullopt;
}

std::optional<size_t> FindColumn(const ResultTable& table, std::string_view name) {
  return FindColumn(table.columns, name);
}

RowClass ClassifyRow(const Cell& sum_sort) {
  const std::optional<int> value = WholeNumber(sum_sort);
  if (!value || *value < kGrandTotal) return {};
  if (*value == kGrandTotal) return {RowKind::Total, 0};
  return {RowKind::Subtotal, *value > kNameRollup ? *value - kNameRollup : *value - kGrandTotal};
}

std::vector<RowClass> ClassifyRows(const ResultTable& table) {
  const std::optional<size_t> sum_sort = FindColumn(table, "FSumSort");
  std::vector<RowClass> classes(table.rows.size());
  if (!sum_sort) return classes;
  for (size_t r = 0; r < table.rows.size(); ++r) classes[r] = ClassifyRow(table.rows[r][*sum_sort]);
  return classes;
}

std::optional<std::string> RoundDecimalText(std::string_view text, int decimals) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative || (!text.empty() && text.front() == '+')) text.remove_prefix(1);
  const size_t point = text.find('.');
  std::string digits(text.substr(0, point));
  std::string fraction(point == std::string_view::npos ? std::string_view() : text.substr(point + 1));
  const auto all_digits = [](const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (digits.empty() || !all_digits(digits) || !all_digits(fraction) || decimals < 0) return std::nullopt;
  const bool round_up = fraction.size() > static_cast<size_t>(decimals) && fraction[decimals] >= '5';
  fraction.resize(static_cast<size_t>(decimals), '0');
  std::string number = digits + fraction;
  if (round_up) {
    size_t i = number.size();
    while (i > 0 && number[i - 1] == '9') number[--i] = '0';
    if (i == 0) {
      number.insert(number.begin(), '1');
    } else {
      ++number[i - 1];
    }
  }
  std::string result = number.substr(0, number.size() - static_cast<size_t>(decimals));
  if (decimals > 0) result += "." + number.substr(result.size());
  const bool zero = std::all_of(number.begin(), number.end(), [](char c) { return c == '0'; });
  return negative && !zero ? "-" + result : result;
}

ReportViewRows::ReportViewRows(const RowSource& raw, const frame::ReportSchema& schema, std::string_view language,
                               const ReportView& view)
    : raw_(raw), language_(language) {
  const std::vector<ResultColumn>& columns = raw.columns();
  for (size_t c = 0; c < columns.size(); ++c) {
    const frame::ColumnCaption* caption = schema.FindColumn(columns[c].name);
    if (view.precision && caption != nullptr && !caption->precision_column.empty()) {
      if (const std::optional<size_t> source = FindColumn(columns, caption->precision_column)) {
        rounded_.push_back({c, *source});
      }
    }
    if (!(view.hide_internal && caption != nullptr && caption->internal)) kept_.push_back(c);
  }
  sum_sort_ = view.mark_totals ? FindColumn(columns, "FSumSort") : std::nullopt;
  if (sum_sort_) columns_.push_back({"", ""});
  for (const size_t c : kept_) {
    ResultColumn column = columns[c];
    if (view.captions) column.name = reports::ColumnCaptionText(schema, column.name, language);
    columns_.push_back(std::move(column));
  }
}

void ReportViewRows::Row(size_t r, std::vector<Cell>& cells) const {
  raw_.Row(r, raw_cells_);
  for (const Rounded& rounded : rounded_) {
    const std::optional<int> decimals = WholeNumber(raw_cells_[rounded.source]);
    Cell& cell = raw_cells_[rounded.column];
    if (!decimals || *decimals < 0 || *decimals > kMaxDecimals || !IsNumber(cell.kind)) continue;
    if (std::optional<std::string> text = RoundDecimalText(cell.text, *decimals)) cell.text = std::move(*text);
  }
  cells.resize(columns_.size());
  size_t out = 0;
  if (sum_sort_) cells[out++] = {CellKind::Text, TotalMark(raw_cells_[*sum_sort_], language_)};
  // Swapped, not copied: both rows keep their strings' room for the next row.
  for (const size_t c : kept_) std::swap(cells[out++], raw_cells_[c]);
}

ResultTable ApplyReportView(const ResultTable& table, const frame::ReportSchema& schema, std::string_view language,
                            const ReportView& view) {
  const TableRows raw(table);
  return Materialize(ReportViewRows(raw, schema, language, view));
}

}  // namespace orv::results
