// What a batch sends back: its result sets, its informational messages and
// its errors, each error placed among the others as SQL Server sends them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/common/errors.h"
#include "engine/common/types.h"
#include "engine/common/value.h"
#include "engine/execution/result_column.h"

namespace orv::engine {

class ColumnSplit;

struct ColumnInfo {
  std::string name;  // empty for an unnamed expression column
  DataType type;
  bool nullable = true;
};

// A materialised result set. It owns the text of its string values, or
// shares the storage they live in, so it stays valid after the session, the
// tables and the database are gone.
class ResultSet {
 public:
  ResultSet();
  ResultSet(std::vector<ColumnInfo> columns);
  ResultSet(ResultSet&&) noexcept;
  ResultSet& operator=(ResultSet&&) noexcept;
  ResultSet(const ResultSet&);
  ResultSet& operator=(const ResultSet&);
  ~ResultSet();

  const std::vector<ColumnInfo>& columns() const { return columns_; }
  size_t column_count() const { return columns_.size(); }
  size_t row_count() const { return columns_.empty() ? 0 : rows_; }
  Value at(size_t row, size_t column) const { return values_[column].Get(row); }

  // Appends one row; string values are copied into the result set's own storage.
  void AppendRow(const Value* values);
  // Appends `count` rows a column at a time: `fill` appends each column's
  // values, copying texts into `arena` or leaving them where ShareText keeps them.
  void AppendColumns(size_t count,
                     const std::function<void(size_t column, ResultColumn& values, StringArena& arena)>& fill);
  // The same with the columns filled as `split` runs them, perhaps several
  // at once: only those it keeps on the calling thread may copy into `arena`.
  void AppendColumns(size_t count,
                     const std::function<void(size_t column, ResultColumn& values, StringArena& arena)>& fill,
                     const ColumnSplit& split);
  // Keeps `storage` as long as the result: texts appended without a copy live there.
  void ShareText(std::shared_ptr<const StringArena> storage);

 private:
  struct Storage;
  std::vector<ColumnInfo> columns_;
  std::vector<ResultColumn> values_;  // one a column
  size_t rows_ = 0;
  std::unique_ptr<Storage> storage_;
};

// An error and where it came: after `result_sets_before` result sets and
// `messages_before` messages of its batch.
struct BatchError {
  SqlError error;
  size_t result_sets_before = 0;
  size_t messages_before = 0;
};

struct BatchResult {
  std::vector<ResultSet> result_sets;
  std::vector<std::string> messages;  // "(3 rows affected)" unless NOCOUNT is ON
  // For each message, how many result sets were sent before it, so that a
  // client can print both in the order the server sent them.
  std::vector<size_t> message_result_sets_before;
  // In order. Most errors end only their statement, which is undone, and the
  // batch goes on; a conversion, name or syntax error ends the batch, so only
  // the last error may have stopped it. Work done before an error stays done.
  std::vector<BatchError> errors;

  const SqlError* first_error() const { return errors.empty() ? nullptr : &errors.front().error; }
  // Appends `error` at the current place in the batch's output.
  void AddError(SqlError error) { errors.push_back({std::move(error), result_sets.size(), messages.size()}); }
  // Appends a message at the current place in the batch's output.
  void AddMessage(std::string text) {
    messages.push_back(std::move(text));
    message_result_sets_before.push_back(result_sets.size());
  }
};

}  // namespace orv::engine
