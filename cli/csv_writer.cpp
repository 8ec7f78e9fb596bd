// RFC 4180: a header line, CR LF line ends, fields with a comma, quote or
// line break in double quotes with quotes doubled. NULL is an empty unquoted
// field and the empty text an empty quoted one, so the two stay apart; a
// value that looks like the chosen NULL text is quoted for the same reason.
// Tab-separated text is the same with a tab between fields: a value holding a
// tab, a quote or a line break is quoted, which BULK INSERT's CSV form reads
// back whatever its field terminator.
#include <ostream>

#include "cli/result_writer.h"
#include "results/csv_field.h"

namespace orv::cli {
namespace {

class CsvWriter : public ResultWriter {
 public:
  CsvWriter(std::ostream& out, const OutputSettings& settings)
      : out_(out),
        null_text_(settings.null_text.value_or("")),
        separator_(settings.format == OutputFormat::Tsv ? '\t' : ',') {}

  void Result(const results::RowSource& rows) override {
    const std::vector<ResultColumn>& columns = rows.columns();
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) out_ << separator_;
      WriteField(columns[c].name, false);
    }
    out_ << "\r\n";
    std::vector<Cell> row;
    for (size_t r = 0; r < rows.row_count(); ++r) {
      rows.Row(r, row);
      for (size_t c = 0; c < row.size(); ++c) {
        if (c > 0) out_ << separator_;
        if (row[c].kind == CellKind::Null) {
          out_ << null_text_;
        } else {
          WriteField(row[c].text, row[c].text.empty() || row[c].text == null_text_);
        }
      }
      out_ << "\r\n";
    }
  }

  void Message(std::string_view) override {}

 private:
  void WriteField(const std::string& text, bool force_quotes) {
    out_ << results::CsvField(text, force_quotes, separator_);
  }

  std::ostream& out_;
  std::string null_text_;
  char separator_;
};

}  // namespace

std::unique_ptr<ResultWriter> MakeCsvWriter(std::ostream& out, const OutputSettings& settings) {
  return std::make_unique<CsvWriter>(out, settings);
}

}  // namespace orv::cli
