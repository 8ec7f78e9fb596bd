// Public interface of the embedded database: a Database holds the base tables
// and views shared by every connection of one instance in the process; a
// Session is one connection, with its own temporary tables and SET options.
// Execute runs one batch and returns what SQL Server would send back to a
// client: the result sets in order, the informational messages, and the error
// that stopped the batch, if any.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
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

struct BatchResult {
  std::vector<ResultSet> result_sets;
  std::vector<std::string> messages;  // "(3 rows affected)" unless NOCOUNT is ON
  std::optional<SqlError> error;      // the error that ended the batch; earlier work stays done
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

  // Parses the whole batch, then runs its statements in order until one fails.
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

}  // namespace orv::engine
