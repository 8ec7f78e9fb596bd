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
class DatabaseFile;

// How a database file is opened: created when missing (`create`), how long
// to wait for another process's lock, how large the log may grow before a
// commit checkpoints it.
struct OpenOptions {
  bool create = false;
  int busy_timeout_ms = 5000;
  size_t checkpoint_bytes = 64u << 20;
};

class Database {
 public:
  explicit Database(std::string name);
  // The database kept in the file `path` (see catalog/database_file.h): every
  // committed transaction is on disk before COMMIT returns. Throws SqlError:
  // 5120 when the file is missing (and not `create`) or unreadable, 824 when
  // it is damaged, 50010 when another process holds it past the time-out.
  static std::shared_ptr<Database> Open(const std::string& path, const OpenOptions& options = {});
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::string& name() const { return name_; }
  Catalog& catalog() { return *catalog_; }

 private:
  std::string name_;
  std::unique_ptr<Catalog> catalog_;
  std::unique_ptr<DatabaseFile> file_;  // null in memory; destroyed first, as it checkpoints the catalog
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
