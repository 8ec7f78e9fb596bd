// Public interface of the embedded database: a Database holds the base tables
// and views shared by every connection of one instance in the process; a
// Session is one connection, with its own temporary tables and SET options.
// Execute runs one batch and returns what SQL Server would send back to a
// client: the result sets in order, the informational messages, and every
// error in order, each placed among the result sets and messages around it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/catalog/isolation_level.h"
#include "engine/common/interrupt.h"
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

  // The memory one batch on this database may hold before it fails with 701:
  // by default half of the machine's memory; 0 lifts the limit.
  size_t memory_limit() const { return memory_limit_; }
  void set_memory_limit(size_t bytes) { memory_limit_ = bytes; }

 private:
  std::string name_;
  std::unique_ptr<Catalog> catalog_;
  size_t memory_limit_;
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

  // Ends the running batch with the cancel error (3617) at its next check;
  // callable from any thread and from a signal handler. A cancel that comes
  // while no batch runs is dropped when the next batch starts.
  void Cancel() { cancel_.raised.store(true, std::memory_order_relaxed); }
  // A batch running longer than this is cancelled; zero (the default): never.
  void set_timeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
  // Overrides the database's memory limit for this session's batches.
  void set_memory_limit(size_t bytes) { memory_limit_ = bytes; }

 private:
  BatchResult Run(std::string_view batch);

  std::shared_ptr<Database> database_;
  std::unique_ptr<SessionState> state_;
  CancelFlag cancel_;
  std::chrono::milliseconds timeout_{0};
  std::optional<size_t> memory_limit_;
};

// A type as SQL Server names it in result-set metadata: "int",
// "decimal(23,10)", "nvarchar(255)", "datetime".
std::string FormatType(const DataType& type);

}  // namespace orv::engine
