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
    // Lines gather in one buffer, written out a block at a time: a million
    // rows cost a few hundred writes, not a write per field.
    std::string block;
    const std::vector<ResultColumn>& columns = rows.columns();
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) block += separator_;
      results::AppendCsvField(block, columns[c].name, false, separator_);
    }
    block += "\r\n";
    std::vector<Cell> row;
    for (size_t r = 0; r < rows.row_count(); ++r) {
      rows.Row(r, row);
      for (size_t c = 0; c < row.size(); ++c) {
        if (c > 0) block += separator_;
        if (row[c].kind == CellKind::Null) {
          block += null_text_;
        } else {
          const std::string& text = row[c].text;
          results::AppendCsvField(block, text, text.empty() || text == null_text_, separator_);
        }
      }
      block += "\r\n";
      if (block.size() >= kBlockBytes) Flush(block);
    }
    Flush(block);
  }

  void Message(std::string_view) override {}

 private:
  static constexpr size_t kBlockBytes = size_t{1} << 16;

  void Flush(std::string& block) {
    out_.write(block.data(), static_cast<std::streamsize>(block.size()));
    block.clear();
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
