// A block's copy split by columns over the threads a statement may use
// (MAXDOP). Once every column has room for the block, filling one touches
// nothing another reads or writes, so each thread takes whole columns; the
// columns that copy texts into an arena they share all stay on the calling
// thread, in order. The kernel clears a fresh page on the thread that first
// writes it, so that work splits too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/execution/exec_context.h"

namespace orv::engine {

// The threads a statement may split its work over: its MAXDOP (0: no
// limit), at most the machine's cores.
size_t StatementThreads(const ExecContext& context);

class ColumnSplit {
 public:
  // Values a block must copy, in all, before handing a share to a kept
  // helper thread pays for itself; a third thread takes as many again, and
  // so on.
  static constexpr size_t kValuesPerThread = size_t{1} << 13;

  // One thread: every column on the calling thread, as a plain loop would.
  ColumnSplit() = default;
  // Up to `threads` threads; the columns flagged in `together` share what
  // only one thread may touch at a time (empty: none do).
  ColumnSplit(size_t threads, std::vector<uint8_t> together);

  // Runs fill(c) once for every column c < `columns` of a block of `rows`
  // rows: on one thread, in column order, when the block is too small to
  // pay for more. A column's error stops no other: once every thread has
  // stopped, the first in column order is rethrown, the one a single
  // thread going column by column would have raised.
  void Run(size_t columns, size_t rows, const std::function<void(size_t)>& fill) const;

 private:
  size_t threads_ = 1;
  std::vector<uint8_t> together_;
};

}  // namespace orv::engine
