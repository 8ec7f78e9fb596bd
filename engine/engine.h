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

#include "engine/catalog/isolation_level.h"
#include "engine/common/format_value.h"
#include "engine/execution/batch_result.h"

namespace orv::engine {

class Catalog;
class SessionState;

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

// A type as SQL Server names it in result-set metadata: "int",
// "decimal(23,10)", "nvarchar(255)", "datetime".
std::string FormatType(const DataType& type);

}  // namespace orv::engine
