// Columns that a table keeps as a file stores them until a query first reads
// them, so a large database file opens without decoding what no query uses.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "engine/storage/column.h"

namespace orv::engine {

class ColumnLoader {
 public:
  virtual ~ColumnLoader() = default;
  // Appends the stored rows of column `index` to `column` (empty); throws
  // SqlError when the stored bytes do not hold them.
  virtual void Load(size_t index, Column& column) const = 0;
};

// A table's columns not decoded yet, a flag each.
struct PendingColumns {
  PendingColumns(std::unique_ptr<const ColumnLoader> from, size_t columns)
      : loader(std::move(from)), waiting(new std::atomic<bool>[columns]) {
    for (size_t c = 0; c < columns; ++c) waiting[c].store(true, std::memory_order_relaxed);
  }
  std::unique_ptr<const ColumnLoader> loader;
  std::unique_ptr<std::atomic<bool>[]> waiting;
  std::mutex mutex;  // columns decode one at a time: their text goes into the table's one arena
};

}  // namespace orv::engine
