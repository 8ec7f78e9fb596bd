// Runs the SQL test files below tests/sql/, each as its own test case, on one
// fresh database and session per file. Records, separated by blank lines:
//   statement ok | statement error <number> [line <n>]   SQL [---- message]
//   query <columns> [rowsort]   SQL ---- rows (tab-separated values)
//   columns   SQL ---- one line per result column: name, type, NULL / NOT NULL
//   messages  SQL ---- the batch's informational messages
//   batch     SQL ---- everything the batch sent, in order: the rows of each
//             result set, the messages, and each error as
//             "Msg n, Level l, State s, Line k" and its text
// Values print as FormatValue does, the empty string as (empty). Lines
// starting with # between records are comments.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/function/scalar.h"

namespace orv::engine {
namespace {

struct Record {
  int line = 0;                   // of the header in the file
  std::vector<std::string> header;
  std::string sql;
  bool has_expected = false;
  std::vector<std::string> expected;
};

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::vector<Record> ReadRecords(const std::string& path) {
  std::ifstream in(path);
  std::vector<Record> records;
  std::string line;
  int number = 0;
  Record* current = nullptr;
  bool in_expected = false;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!current) {
      if (line.empty() || line[0] == '#') continue;
      records.push_back(Record{number, Words(line), {}, false, {}});
      current = &records.back();
      in_expected = false;
      continue;
    }
    if (line.empty()) {
      current = nullptr;
    } else if (!in_expected && line == "----") {
      in_expected = true;
      current->has_expected = true;
    } else if (in_expected) {
      current->expected.push_back(line);
    } else {
      current->sql += line + "\n";
    }
  }
  return records;
}

std::string Cell(const Value& value) {
  std::string text = FormatValue(value);
  return text.empty() ? "(empty)" : text;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\n";
  return out;
}

void AppendRows(const ResultSet& rows, std::vector<std::string>& lines) {
  for (size_t r = 0; r < rows.row_count(); ++r) {
    std::string line;
    for (size_t c = 0; c < rows.column_count(); ++c) line += (c ? "\t" : "") + Cell(rows.at(r, c));
    lines.push_back(line);
  }
}

// The batch's output as the records of kind `batch` spell it.
std::vector<std::string> Transcript(const BatchResult& result) {
  std::vector<std::string> lines;
  size_t result_sets = 0;
  size_t messages = 0;
  // Messages and result sets in the order they were sent (PRINT before a SELECT comes first).
  auto up_to = [&](size_t result_set_end, size_t message_end) {
    while (result_sets < result_set_end || messages < message_end) {
      if (messages < message_end &&
          (result_sets == result_set_end || result.message_result_sets_before[messages] <= result_sets)) {
        lines.push_back(result.messages[messages++]);
      } else {
        AppendRows(result.result_sets[result_sets++], lines);
      }
    }
  };
  for (const BatchError& error : result.errors) {
    up_to(error.result_sets_before, error.messages_before);
    const SqlError& e = error.error;
    lines.push_back("Msg " + std::to_string(e.number()) + ", Level " + std::to_string(e.severity()) + ", State " +
                    std::to_string(e.state()) + ", Line " + std::to_string(e.line()));
    lines.push_back(e.message());
  }
  up_to(result.result_sets.size(), result.messages.size());
  return lines;
}

void RunRecord(Session& session, const Record& record, const std::string& where) {
  BatchResult result = session.Execute(record.sql);
  const std::string& kind = record.header[0];
  if (kind == "batch") {
    EXPECT_EQ(Joined(Transcript(result)), Joined(record.expected)) << where;
    return;
  }
  std::string error_text =
      result.first_error() ? std::to_string(result.first_error()->number()) + " line " + std::to_string(result.first_error()->line()) + ": " +
                         result.first_error()->message()
                   : "none";
  if (kind == "statement" && record.header.size() > 2 && record.header[1] == "error") {
    ASSERT_TRUE(result.first_error()) << where << ": expected error " << record.header[2];
    EXPECT_EQ(std::to_string(result.first_error()->number()), record.header[2]) << where << ": " << error_text;
    if (record.header.size() > 4 && record.header[3] == "line") {
      EXPECT_EQ(std::to_string(result.first_error()->line()), record.header[4]) << where << ": " << error_text;
    }
    if (record.has_expected) {
      std::string message = Joined(record.expected);
      message.pop_back();
      EXPECT_EQ(result.first_error()->message(), message) << where;
    }
    return;
  }
  ASSERT_FALSE(result.first_error()) << where << ": " << error_text;
  if (kind == "statement") return;
  std::vector<std::string> actual;
  if (kind == "messages") {
    actual = result.messages;
  } else {
    ASSERT_FALSE(result.result_sets.empty()) << where << ": no result set";
    const ResultSet& rows = result.result_sets.back();
    if (kind == "columns") {
      for (const ColumnInfo& column : rows.columns()) {
        actual.push_back(column.name + "\t" + TypeToString(column.type) + "\t" + (column.nullable ? "NULL" : "NOT NULL"));
      }
    } else if (kind == "query") {
      ASSERT_GE(record.header.size(), 2u) << where;
      EXPECT_EQ(std::to_string(rows.column_count()), record.header[1]) << where << ": column count";
      AppendRows(rows, actual);
      std::vector<std::string> expected = record.expected;
      if (record.header.size() > 2 && record.header[2] == "rowsort") {
        std::sort(actual.begin(), actual.end());
        std::sort(expected.begin(), expected.end());
      }
      EXPECT_EQ(Joined(actual), Joined(expected)) << where;
      return;
    } else {
      FAIL() << where << ": unknown record kind " << kind;
    }
  }
  EXPECT_EQ(Joined(actual), Joined(record.expected)) << where;
}

class SqlFileTest : public testing::Test {
 public:
  explicit SqlFileTest(std::string path) : path_(std::move(path)) {}
  void TestBody() override {
    auto database = std::make_shared<Database>("ERPDB");
    Session session(database);
    std::vector<Record> records = ReadRecords(path_);
    ASSERT_FALSE(records.empty()) << path_ << " holds no records";
    for (const Record& record : records) {
      RunRecord(session, record, path_ + ":" + std::to_string(record.line));
    }
  }

 private:
  std::string path_;
};

std::string SourceDir() {
  const char* env = std::getenv("ORV_SOURCE_DIR");
  return env ? env : ORV_SOURCE_DIR;
}

[[maybe_unused]] const bool kRegistered = [] {
  std::filesystem::path root = std::filesystem::path(SourceDir()) / "tests" / "sql";
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.path().extension() == ".test") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    std::string name = std::filesystem::relative(file, root).replace_extension().string();
    std::replace(name.begin(), name.end(), '/', '_');
    std::string path = file.string();
    testing::RegisterTest("SqlFile", name.c_str(), nullptr, nullptr, __FILE__, __LINE__,
                          [path]() -> testing::Test* { return new SqlFileTest(path); });
  }
  return true;
}();

}  // namespace
}  // namespace orv::engine
