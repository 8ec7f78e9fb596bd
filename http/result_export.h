// A shown result as a file a spreadsheet opens: CSV (UTF-8 with a byte order
// mark, so spreadsheets read the Chinese texts right) and XLSX (numbers as
// numbers with thousands separators and the row's decimals, subtotal and
// total rows bold and shaded, subtotals indented by level). Both take the
// clerk's column choice and sort, so the file matches the grid.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "http/shown_result.h"

namespace orv::http {

struct ExportLayout {
  std::vector<size_t> columns;  // shown column indexes in order; empty: all
  std::optional<size_t> sort_column;
  bool descending = false;
};

std::string CsvExport(const ShownResult& result, const ExportLayout& layout);

// Throws std::runtime_error when the workbook cannot be written.
std::string XlsxExport(const ShownResult& result, const ExportLayout& layout);

// The decimals a number's text is written with ("1,5" has none: no point).
int DecimalsOf(const std::string& text);

}  // namespace orv::http
