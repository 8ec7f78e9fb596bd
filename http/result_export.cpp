// The workbook is written by libxlsxwriter into a private temporary file,
// read back and removed. Text cells that a spreadsheet would take for a
// formula (=, +, -, @) are written as text, never as formulas.
#include "http/result_export.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "http/login_sessions.h"
#include "results/csv_field.h"

namespace orv::http {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr double kMaxColumnWidth = 60;
constexpr lxw_color_t kHeaderFill = 0xD9D9D9;
constexpr lxw_color_t kSubtotalFill = 0xFFF2CC;
constexpr lxw_color_t kTotalFill = 0xDDEBF7;

std::vector<size_t> ColumnsOf(const ShownResult& result, const ExportLayout& layout) {
  std::vector<size_t> columns = layout.columns;
  if (columns.empty()) {
    for (size_t c = 0; c < result.columns.size(); ++c) columns.push_back(c);
  }
  for (const size_t c : columns) {
    if (c >= result.columns.size()) throw std::out_of_range("No such column in the result.");
  }
  return columns;
}

std::vector<size_t> RowsOf(const ShownResult& result, const ExportLayout& layout) {
  return SortedRowOrder(result, layout.sort_column.value_or(result.columns.size()), layout.descending);
}

// A spreadsheet runs a text that starts like a formula; a leading quote keeps it text.
std::string CsvText(const results::Cell& cell) {
  if (!results::IsNumber(cell.kind) && !cell.text.empty() &&
      std::string_view("=+-@\t\r").find(cell.text[0]) != std::string_view::npos) {
    return "'" + cell.text;
  }
  return cell.text;
}

// Columns a text takes in a spreadsheet: two for a CJK character, roughly.
double TextWidth(const std::string& text) {
  double width = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      width += 1;
    } else if (byte >= 0xE0) {
      width += 2;
    }
  }
  return width;
}

std::string NumberFormat(int decimals) {
  return decimals > 0 ? "#,##0." + std::string(static_cast<size_t>(decimals), '0') : "#,##0";
}

class Workbook {
 public:
  explicit Workbook(const std::filesystem::path& path) {
    lxw_workbook_options options{};
    const std::string tmpdir = path.parent_path().string();
    options.tmpdir = const_cast<char*>(tmpdir.c_str());
    book_ = workbook_new_opt(path.c_str(), &options);
    if (book_ == nullptr) throw std::runtime_error("The workbook cannot be created.");
  }
  ~Workbook() {
    if (book_ != nullptr) workbook_close(book_);
  }
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  lxw_workbook* get() const { return book_; }
  void Close() {
    const lxw_error error = workbook_close(book_);
    book_ = nullptr;
    if (error != LXW_NO_ERROR)
      throw std::runtime_error(std::string("The workbook cannot be written: ") + lxw_strerror(error));
  }

  // One format per row kind, decimals (-1 for text) and indent.
  lxw_format* CellFormat(results::RowKind kind, int decimals, int indent) {
    const auto key = std::make_tuple(static_cast<int>(kind), decimals, indent);
    if (const auto found = formats_.find(key); found != formats_.end()) return found->second;
    lxw_format* format = workbook_add_format(book_);
    if (kind != results::RowKind::Detail) {
      format_set_bold(format);
      format_set_pattern(format, LXW_PATTERN_SOLID);
      format_set_bg_color(format, kind == results::RowKind::Total ? kTotalFill : kSubtotalFill);
    }
    if (kind == results::RowKind::Total) format_set_top(format, LXW_BORDER_THIN);
    if (decimals >= 0) format_set_num_format(format, NumberFormat(decimals).c_str());
    if (indent > 0) format_set_indent(format, static_cast<uint8_t>(indent));
    formats_.emplace(key, format);
    return format;
  }

 private:
  lxw_workbook* book_ = nullptr;
  std::map<std::tuple<int, int, int>, lxw_format*> formats_;
};

// A private folder for one export, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() : path_(std::filesystem::temp_directory_path() / ("orvalent-export-" + RandomToken().substr(0, 16))) {
    std::filesystem::create_directory(path_);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void WriteSheet(Workbook& book, const ShownResult& result, const std::vector<size_t>& columns,
                const std::vector<size_t>& rows) {
  lxw_worksheet* sheet = workbook_add_worksheet(book.get(), result.report.c_str());
  lxw_format* header = workbook_add_format(book.get());
  format_set_bold(header);
  format_set_pattern(header, LXW_PATTERN_SOLID);
  format_set_bg_color(header, kHeaderFill);
  format_set_bottom(header, LXW_BORDER_THIN);
  std::vector<double> widths(columns.size());
  for (size_t c = 0; c < columns.size(); ++c) {
    const std::string& caption = result.columns[columns[c]].caption;
    worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), caption.c_str(), header);
    widths[c] = TextWidth(caption);
  }
  for (size_t r = 0; r < rows.size(); ++r) {
    const ShownRow& row = result.rows[rows[r]];
    const auto sheet_row = static_cast<lxw_row_t>(r + 1);
    for (size_t c = 0; c < columns.size(); ++c) {
      const results::Cell& cell = row.cells[columns[c]];
      const int indent = c == 0 && row.row_class.kind == results::RowKind::Subtotal ? row.row_class.level : 0;
      const bool number = results::IsNumber(cell.kind);
      lxw_format* format = book.CellFormat(row.row_class.kind, number ? DecimalsOf(cell.text) : -1, indent);
      const auto column = static_cast<lxw_col_t>(c);
      if (cell.kind == results::CellKind::Null) {
        worksheet_write_blank(sheet, sheet_row, column, format);
      } else if (number) {
        worksheet_write_number(sheet, sheet_row, column, std::strtod(cell.text.c_str(), nullptr), format);
      } else {
        worksheet_write_string(sheet, sheet_row, column, cell.text.c_str(), format);
      }
      widths[c] = std::max(widths[c], TextWidth(cell.text) + (number ? cell.text.size() / 3.0 : 0) + indent);
    }
  }
  for (size_t c = 0; c < columns.size(); ++c) {
    worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                         std::min(widths[c] + 2, kMaxColumnWidth), nullptr);
  }
  worksheet_freeze_panes(sheet, 1, 0);
}

}  // namespace

int DecimalsOf(const std::string& text) {
  const size_t point = text.find('.');
  if (point == std::string::npos || text.find_first_of("eE") != std::string::npos) return 0;
  return static_cast<int>(text.size() - point - 1);
}

std::string CsvExport(const ShownResult& result, const ExportLayout& layout) {
  const std::vector<size_t> columns = ColumnsOf(result, layout);
  std::string csv(kByteOrderMark);
  for (size_t c = 0; c < columns.size(); ++c) {
    if (c > 0) csv += ',';
    csv += results::CsvField(result.columns[columns[c]].caption);
  }
  csv += "\r\n";
  for (const size_t r : RowsOf(result, layout)) {
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) csv += ',';
      csv += results::CsvField(CsvText(result.rows[r].cells[columns[c]]));
    }
    csv += "\r\n";
  }
  return csv;
}

std::string XlsxExport(const ShownResult& result, const ExportLayout& layout) {
  const std::vector<size_t> columns = ColumnsOf(result, layout);
  const ScratchFolder scratch;
  const std::filesystem::path file = scratch.path() / "report.xlsx";
  {
    Workbook book(file);
    WriteSheet(book, result, columns, RowsOf(result, layout));
    book.Close();
  }
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) throw std::runtime_error("The workbook cannot be read back.");
  return bytes.str();
}

}  // namespace orv::http
