// A database that lives in a file: `<path>` holds the last checkpoint (see
// snapshot_format.h), `<path>-wal` the transactions committed since, one
// checksummed block each, flushed to disk before COMMIT returns, and
// `<path>-lock` the lock processes share (see file_lock.h). Opening loads the
// checkpoint and replays the log; a log block torn by a crash at its end was
// never acknowledged and is dropped, damage anywhere else is error 824.
//
// Processes: readers lock shared only while they load; a writer locks
// exclusively for each write transaction. A process that loaded the files
// before another one wrote to them may not write (its rows would be stale):
// it gets an error and must open the database again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>

#include "engine/catalog/catalog.h"
#include "engine/catalog/file_lock.h"

namespace orv::engine {

struct FileOptions {
  bool create = false;             // create the files when they do not exist
  int busy_timeout_ms = 5000;      // how long to wait for another process's lock
  size_t checkpoint_bytes = 64u << 20;  // log size past which a commit checkpoints
};

class DatabaseFile final : public Durability {
 public:
  // Loads the database at `path` into `catalog` (empty). Raises 5120 (no such
  // file and not `create`), 824 (damage) or "database is locked".
  static std::unique_ptr<DatabaseFile> Open(const std::string& path, Catalog& catalog, const FileOptions& options);
  // Checkpoints what the log holds when no other process is using the files.
  ~DatabaseFile() override;

  void BeginWrite() override;
  void EndWrite() override;
  void Commit(const std::vector<std::string>& redo) override;
  // Writes the whole database as a new checkpoint and empties the log. The
  // caller holds the write lock.
  void Checkpoint();

 private:
  DatabaseFile(std::string path, Catalog& catalog, const FileOptions& options);
  void Load();
  void ResetLog();
  // Whether the files are still as this process last saw them.
  bool Unchanged() const;

  std::string path_;
  std::string wal_path_;
  Catalog& catalog_;
  FileOptions options_;
  FileLock lock_;
  int wal_fd_ = -1;
  uint64_t sequence_ = 0;    // of the checkpoint in the main file
  ino_t main_inode_ = 0;     // a checkpoint replaces the main file
  uint64_t wal_valid_ = 0;   // bytes of the log that hold whole, checked blocks
  uint64_t wal_seen_ = 0;    // the log's size when this process last looked
  bool log_ready_ = false;   // the log starts with this checkpoint's header
  bool writing_ = false;
};

// A whole database as one file, without log or lock, for a copy that is read
// back into memory (and never changed in the file): a cache of a database
// that takes long to build. Saving replaces the file at once; loading raises
// 5120 or 824 and leaves `catalog` (empty) as it was.
void SaveDatabaseCopy(const Catalog& catalog, const std::string& path);
void LoadDatabaseCopy(const std::string& path, Catalog& catalog);

}  // namespace orv::engine
