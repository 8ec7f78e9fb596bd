// Decimals without a precision column (rates, say) come with the scale of
// their SQL type; their trailing zeros carry no meaning for a reader and
// are dropped. Sorting keeps subtotals next to the rows they sum up.
#include "http/shown_result.h"

#include <algorithm>
#include <cstdlib>

#include "reports/report_catalog.h"

namespace orv::http {
namespace {

bool IsNumericType(std::string_view type) {
  for (const std::string_view prefix :
       {"int", "smallint", "bigint", "tinyint", "decimal", "numeric", "float", "real", "money"}) {
    if (type.starts_with(prefix)) return true;
  }
  return false;
}

// Texts and numbers compared the way a clerk expects of a grid column.
bool CellLess(const results::Cell& a, const results::Cell& b) {
  if (a.kind == results::CellKind::Null || b.kind == results::CellKind::Null) {
    return a.kind == results::CellKind::Null && b.kind != results::CellKind::Null;
  }
  if (results::IsNumber(a.kind) && results::IsNumber(b.kind)) {
    return std::strtod(a.text.c_str(), nullptr) < std::strtod(b.text.c_str(), nullptr);
  }
  return a.text < b.text;
}

}  // namespace

std::string_view RowKindName(results::RowKind kind) {
  switch (kind) {
    case results::RowKind::Subtotal:
      return "subtotal";
    case results::RowKind::Total:
      return "total";
    case results::RowKind::Detail:
      break;
  }
  return "detail";
}

std::string TrimFractionZeros(std::string text) {
  const size_t point = text.find('.');
  if (point == std::string::npos || text.find_first_of("eE") != std::string::npos) return text;
  size_t end = text.find_last_not_of('0');
  if (end == point) --end;
  text.erase(end + 1);
  return text == "-0" ? "0" : text;
}

ShownResult ShowResult(const results::ResultTable& raw, const frame::ReportSchema& schema, std::string_view language) {
  const std::vector<results::RowClass> classes = results::ClassifyRows(raw);
  const results::ResultTable view = results::ApplyReportView(raw, schema, language, {false, true, true, false});
  ShownResult shown{std::string(schema.number), reports::ReportTitle(schema, language), std::string(language), {}, {}};
  std::vector<bool> trim;
  for (const results::ResultColumn& column : view.columns) {
    const frame::ColumnCaption* described = schema.FindColumn(column.name);
    shown.columns.push_back({column.name, reports::ColumnCaptionText(schema, column.name, language), column.type,
                             IsNumericType(column.type)});
    trim.push_back(described == nullptr || described->precision_column.empty());
  }
  for (size_t r = 0; r < view.rows.size(); ++r) {
    ShownRow& row = shown.rows.emplace_back(ShownRow{classes[r], view.rows[r]});
    for (size_t c = 0; c < row.cells.size(); ++c) {
      if (trim[c] && row.cells[c].kind == results::CellKind::Decimal) {
        row.cells[c].text = TrimFractionZeros(row.cells[c].text);
      }
    }
  }
  return shown;
}

nlohmann::json ResultJson(const ShownResult& result) {
  nlohmann::json columns = nlohmann::json::array();
  for (const ShownColumn& column : result.columns) {
    columns.push_back(
        {{"name", column.name}, {"caption", column.caption}, {"type", column.type}, {"numeric", column.numeric}});
  }
  nlohmann::json rows = nlohmann::json::array();
  for (const ShownRow& row : result.rows) {
    nlohmann::json cells = nlohmann::json::array();
    for (const results::Cell& cell : row.cells) {
      cells.push_back(cell.kind == results::CellKind::Null ? nlohmann::json(nullptr) : nlohmann::json(cell.text));
    }
    rows.push_back({{"kind", RowKindName(row.row_class.kind)}, {"level", row.row_class.level}, {"cells", cells}});
  }
  return {{"report", result.report}, {"title", result.title}, {"language", result.language},
          {"columns", columns},      {"rows", rows},          {"row_count", result.rows.size()}};
}

std::vector<size_t> SortedRowOrder(const ShownResult& result, size_t column, bool descending) {
  std::vector<size_t> order(result.rows.size());
  for (size_t r = 0; r < order.size(); ++r) order[r] = r;
  if (column >= result.columns.size()) return order;
  const auto less = [&](size_t a, size_t b) {
    const results::Cell& x = result.rows[a].cells[column];
    const results::Cell& y = result.rows[b].cells[column];
    return descending ? CellLess(y, x) : CellLess(x, y);
  };
  size_t start = 0;
  while (start < order.size()) {
    size_t end = start;
    while (end < order.size() && result.rows[end].row_class.kind == results::RowKind::Detail) ++end;
    std::stable_sort(order.begin() + static_cast<std::ptrdiff_t>(start),
                     order.begin() + static_cast<std::ptrdiff_t>(end), less);
    start = end + 1;
  }
  return order;
}

}  // namespace orv::http
