// Writes what a run produces, result sets and informational messages in the
// order they come, in one of the output formats. A JSON run is one document,
// closed by Finish; the other formats write as they go.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/result_table.h"
#include "results/row_source.h"

namespace orv::cli {

enum class OutputFormat { Table, Csv, Tsv, Json, JsonLines };

struct OutputSettings {
  OutputFormat format = OutputFormat::Table;
  // How NULL is written in the table, CSV and TSV formats; by default "NULL"
  // in a table and an empty unquoted field in CSV and TSV.
  std::optional<std::string> null_text;
  bool json_numbers = false;  // exact decimals as JSON numbers instead of strings
  // Table format only, as the server's command-line client has them:
  std::string separator = " ";  // between columns (-s)
  bool trim = false;            // no padding to the column width (-W)
  int headers_every = 0;        // 0: once; -1: none; n: again every n rows (-h)
};

class ResultWriter {
 public:
  virtual ~ResultWriter() = default;
  // Rows are read as they are written, not held: a writer may read them twice.
  virtual void Result(const results::RowSource& rows) = 0;
  void Result(const ResultTable& table) { Result(results::TableRows(table)); }
  // A message of the server ("(3 rows affected)"); only the table and JSON
  // formats keep them.
  virtual void Message(std::string_view text) = 0;
  // Ends the output (closes a JSON document); call once, after the last result.
  virtual void Finish() {}
};

std::unique_ptr<ResultWriter> MakeResultWriter(std::ostream& out, const OutputSettings& settings);

// Writers of each format, for MakeResultWriter (the CSV writer writes TSV too).
std::unique_ptr<ResultWriter> MakeTableWriter(std::ostream& out, const OutputSettings& settings);
std::unique_ptr<ResultWriter> MakeCsvWriter(std::ostream& out, const OutputSettings& settings);
std::unique_ptr<ResultWriter> MakeJsonWriter(std::ostream& out, const OutputSettings& settings);
std::unique_ptr<ResultWriter> MakeJsonLinesWriter(std::ostream& out, const OutputSettings& settings);

}  // namespace orv::cli
