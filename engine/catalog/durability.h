// What a database kept in a file adds to one in memory: writers take the
// file's write lock (one writing process at a time), and a commit's redo
// records reach the write-ahead log, flushed to disk, before COMMIT returns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orv::engine {

class Durability {
 public:
  virtual ~Durability() = default;
  // Raises "database is locked" when another process keeps writing past the
  // busy time-out.
  virtual void BeginWrite() = 0;
  virtual void EndWrite() = 0;
  // Raises on an I/O failure; the caller then rolls the transaction back.
  virtual void Commit(const std::vector<std::string>& redo) = 0;
};

}  // namespace orv::engine
