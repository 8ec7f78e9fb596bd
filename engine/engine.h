// Public interface of the embedded database: a Database holds the base tables
// and views shared by every connection of one instance in the process; a
// Session is one connection, with its own temporary tables and SET options.
// Execute runs one batch and returns what SQL Server would send back to a
// client: the result sets in order, the informational messages, and every
// error in order, each placed among the result sets and messages around it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/errors.h"
#include "engine/common/types.h"
#include "engine/common/value.h"

namespace orv::engine {

class Catalog;
class SessionState;

struct ColumnInfo {
  std::string name;  // empty for an unnamed expression column
  DataType type;
  bool nullable = true;
};

// A materialised result set. It owns the text of its string values, so it
// stays valid after the session, the tables and the database are gone.
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
  size_t row_count() const { return columns_.empty() ? 0 : cells_.size() / columns_.size(); }
  const Value& at(size_t row, size_t column) const { return cells_[row * columns_.size() + column]; }

  // Appends one row; string values are copied into the result set's own storage.
  void AppendRow(const Value* values);

 private:
  struct Storage;
  std::vector<ColumnInfo> columns_;
  std::vector<Value> cells_;
  std::unique_ptr<Storage> storage_;
};

enum class IsolationLevel { ReadUncommitted, ReadCommitted, RepeatableRead, Serializable, Snapshot };

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

class Database {
 public:
  explicit Database(std::string name);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::string& name() const { return name_; }
  Catalog& catalog() { return *catalog_; }

 private:
  std::string name_;
  std::unique_ptr<Catalog> catalog_;
};

// One connection. Not thread-safe itself; different sessions of one database
// may run on different threads at once.
class Session {
 public:
  explicit Session(std::shared_ptr<Database> database);
  ~Session();  // drops the session's temporary tables
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Parses the whole batch, then runs its statements in order. A statement
  // that fails is undone and reported; the batch goes on unless the error is
  // one that ends the batch (see EndsOnlyStatement).
  BatchResult Execute(std::string_view batch);

  IsolationLevel isolation_level() const;
  bool nocount() const;
  Database& database() { return *database_; }

 private:
  std::shared_ptr<Database> database_;
  std::unique_ptr<SessionState> state_;
};

// Renders a value as SQL Server's client tools show it (datetime as
// "2024-03-05 00:00:00.000", decimals with their scale, NULL as "NULL").
std::string FormatValue(const Value& value);

// A type as SQL Server names it in result-set metadata: "int",
// "decimal(23,10)", "nvarchar(255)", "datetime".
std::string FormatType(const DataType& type);

}  // namespace orv::engine
