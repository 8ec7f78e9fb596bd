// JSON output. Exact decimals are written as strings by default: common JSON
// readers turn every number into a double and would round
// 12345678901234567.89. A whole run is one document,
//   {"results":[{"columns":[{"name":..,"type":..}],"rows":[[..],..]},..],"messages":[..]}
// or, as JSON Lines, one line per result set header ({"columns":[..]}), per
// row (an array) and per message ({"message":".."}).
#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "cli/result_writer.h"

namespace orv::cli {
namespace {

std::string JsonString(std::string_view text) {
  return nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
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

std::string JsonValue(const Cell& cell, bool json_numbers) {
  switch (cell.kind) {
    case CellKind::Null:
      return "null";
    case CellKind::Boolean:
      return cell.text == "0" || cell.text == "False" ? "false" : "true";
    case CellKind::Decimal:
      if (!json_numbers) return JsonString(cell.text);
      [[fallthrough]];
    case CellKind::Integer:
    case CellKind::Float:
      return IsJsonNumber(cell.text) ? cell.text : JsonString(cell.text);
    case CellKind::Text:
      break;
  }
  return JsonString(cell.text);
}

std::string JsonColumns(const std::vector<ResultColumn>& columns) {
  std::string text = "[";
  for (size_t c = 0; c < columns.size(); ++c) {
    if (c > 0) text += ',';
    text += "{\"name\":" + JsonString(columns[c].name) + ",\"type\":" + JsonString(columns[c].type) + "}";
  }
  return text + "]";
}

std::string JsonRow(const std::vector<Cell>& row, bool json_numbers) {
  std::string text = "[";
  for (size_t c = 0; c < row.size(); ++c) {
    if (c > 0) text += ',';
    text += JsonValue(row[c], json_numbers);
  }
  return text + "]";
}

// The results are streamed; the messages wait for the end of the document.
class JsonWriter : public ResultWriter {
 public:
  JsonWriter(std::ostream& out, const OutputSettings& settings) : out_(out), json_numbers_(settings.json_numbers) {
    out_ << "{\"results\":[";
  }

  void Result(const results::RowSource& rows) override {
    if (results_++ > 0) out_ << ',';
    out_ << "{\"columns\":" << JsonColumns(rows.columns()) << ",\"rows\":[";
    std::vector<Cell> row;
    for (size_t r = 0; r < rows.row_count(); ++r) {
      if (r > 0) out_ << ',';
      rows.Row(r, row);
      out_ << JsonRow(row, json_numbers_);
    }
    out_ << "]}";
  }

  void Message(std::string_view text) override { messages_.emplace_back(text); }

  void Finish() override {
    out_ << "],\"messages\":[";
    for (size_t m = 0; m < messages_.size(); ++m) out_ << (m > 0 ? "," : "") << JsonString(messages_[m]);
    out_ << "]}\n";
  }

 private:
  std::ostream& out_;
  bool json_numbers_;
  size_t results_ = 0;
  std::vector<std::string> messages_;
};

class JsonLinesWriter : public ResultWriter {
 public:
  JsonLinesWriter(std::ostream& out, const OutputSettings& settings)
      : out_(out), json_numbers_(settings.json_numbers) {}

  void Result(const results::RowSource& rows) override {
    out_ << "{\"columns\":" << JsonColumns(rows.columns()) << "}\n";
    std::vector<Cell> row;
    for (size_t r = 0; r < rows.row_count(); ++r) {
      rows.Row(r, row);
      out_ << JsonRow(row, json_numbers_) << '\n';
    }
  }

  void Message(std::string_view text) override { out_ << "{\"message\":" << JsonString(text) << "}\n"; }

 private:
  std::ostream& out_;
  bool json_numbers_;
};

}  // namespace

std::unique_ptr<ResultWriter> MakeJsonWriter(std::ostream& out, const OutputSettings& settings) {
  return std::make_unique<JsonWriter>(out, settings);
}

std::unique_ptr<ResultWriter> MakeJsonLinesWriter(std::ostream& out, const OutputSettings& settings) {
  return std::make_unique<JsonLinesWriter>(out, settings);
}

std::unique_ptr<ResultWriter> MakeResultWriter(std::ostream& out, const OutputSettings& settings) {
  switch (settings.format) {
    case OutputFormat::Csv:
    case OutputFormat::Tsv:
      return MakeCsvWriter(out, settings);
    case OutputFormat::Json:
      return MakeJsonWriter(out, settings);
    case OutputFormat::JsonLines:
      return MakeJsonLinesWriter(out, settings);
    case OutputFormat::Table:
      break;
  }
  return MakeTableWriter(out, settings);
}

}  // namespace orv::cli
