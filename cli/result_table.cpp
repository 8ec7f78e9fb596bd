// The three printers of a result table. Widths are counted in terminal
// columns, not bytes, so that Chinese names line up with the header.
#include "cli/result_table.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <ostream>

#include "frame/utf8_scan.h"

namespace orv::cli {
namespace {

size_t CodePointWidth(UChar32 c) {
  const auto general = static_cast<UCharCategory>(u_charType(c));
  if (general == U_NON_SPACING_MARK || general == U_ENCLOSING_MARK || c == 0x200B) return 0;
  const auto width = static_cast<UEastAsianWidth>(u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH));
  return width == U_EA_WIDE || width == U_EA_FULLWIDTH ? 2 : 1;
}

void PadTo(std::ostream& out, size_t used, size_t width) {
  for (size_t i = used; i < width; ++i) out << ' ';
}

bool IsJsonNumber(std::string_view text) {
  size_t i = 0;
  const auto digits = [&] {
    const size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i > start;
  };
  if (i < text.size() && text[i] == '-') ++i;
  if (i < text.size() && text[i] == '0') {
    ++i;
  } else if (!digits()) {
    return false;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (!digits()) return false;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (!digits()) return false;
  }
  return i == text.size();
}

std::string JsonString(const std::string& text) {
  return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void WriteCsvField(std::ostream& out, const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    out << text;
    return;
  }
  out << '"';
  for (const char c : text) {
    if (c == '"') out << '"';
    out << c;
  }
  out << '"';
}

}  // namespace

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (size_t pos = 0; pos < utf8.size();) {
    const int32_t c = frame::NextCodePoint(utf8, pos);
    width += c < 0 ? 1 : CodePointWidth(c);
  }
  return width;
}

void PrintAligned(std::ostream& out, const ResultTable& table) {
  std::vector<size_t> widths;
  for (const auto& column : table.columns) widths.push_back(DisplayWidth(column));
  for (const auto& row : table.rows) {
    for (size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      widths[c] = std::max(widths[c], DisplayWidth(row[c].text));
    }
  }
  for (size_t c = 0; c < table.columns.size(); ++c) {
    if (c > 0) out << ' ';
    out << table.columns[c];
    if (c + 1 < table.columns.size()) PadTo(out, DisplayWidth(table.columns[c]), widths[c]);
  }
  out << '\n';
  for (size_t c = 0; c < widths.size(); ++c) {
    if (c > 0) out << ' ';
    out << std::string(widths[c], '-');
  }
  out << '\n';
  // A column of numbers (NULLs aside) is aligned to the right, NULLs included.
  std::vector<bool> numeric(widths.size(), false);
  for (size_t c = 0; c < widths.size(); ++c) {
    bool any_number = false;
    bool only_numbers = true;
    for (const auto& row : table.rows) {
      if (c >= row.size() || row[c].kind == CellKind::Null) continue;
      any_number = any_number || row[c].kind == CellKind::Number;
      only_numbers = only_numbers && row[c].kind == CellKind::Number;
    }
    numeric[c] = any_number && only_numbers;
  }
  for (const auto& row : table.rows) {
    for (size_t c = 0; c < row.size() && c < widths.size(); ++c) {
      if (c > 0) out << ' ';
      const size_t used = DisplayWidth(row[c].text);
      const bool right = numeric[c];
      if (right) PadTo(out, used, widths[c]);
      out << row[c].text;
      if (!right && c + 1 < row.size()) PadTo(out, used, widths[c]);
    }
    out << '\n';
  }
}

void PrintRowCount(std::ostream& out, size_t rows) {
  out << '\n' << '(' << rows << (rows == 1 ? " row affected)" : " rows affected)") << '\n';
}

void PrintCsv(std::ostream& out, const ResultTable& table) {
  for (size_t c = 0; c < table.columns.size(); ++c) {
    if (c > 0) out << ',';
    WriteCsvField(out, table.columns[c]);
  }
  out << "\r\n";
  for (const auto& row : table.rows) {
    for (size_t c = 0; c < row.size(); ++c) {
      if (c > 0) out << ',';
      if (row[c].kind != CellKind::Null) WriteCsvField(out, row[c].text);
    }
    out << "\r\n";
  }
}

void PrintJson(std::ostream& out, const ResultTable& table) {
  out << '[';
  for (size_t r = 0; r < table.rows.size(); ++r) {
    if (r > 0) out << ',';
    out << '{';
    const auto& row = table.rows[r];
    for (size_t c = 0; c < row.size() && c < table.columns.size(); ++c) {
      if (c > 0) out << ',';
      out << JsonString(table.columns[c]) << ':';
      switch (row[c].kind) {
        case CellKind::Null:
          out << "null";
          break;
        case CellKind::Boolean:
          out << (row[c].text == "0" || row[c].text == "False" ? "false" : "true");
          break;
        case CellKind::Number:
          out << (IsJsonNumber(row[c].text) ? row[c].text : JsonString(row[c].text));
          break;
        case CellKind::Text:
          out << JsonString(row[c].text);
          break;
      }
    }
    out << '}';
  }
  out << "]\n";
}

void PrintResult(std::ostream& out, const ResultTable& table, OutputFormat format) {
  switch (format) {
    case OutputFormat::Table:
      PrintAligned(out, table);
      break;
    case OutputFormat::Csv:
      PrintCsv(out, table);
      break;
    case OutputFormat::Json:
      PrintJson(out, table);
      break;
  }
}

}  // namespace orv::cli
