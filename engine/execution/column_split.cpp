// Columns of a block over several threads; see column_split.h.
#include "engine/execution/column_split.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "engine/execution/worker_threads.h"

namespace orv::engine {

size_t StatementThreads(const ExecContext& context) {
  const size_t cores = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 64);
  return context.max_dop <= 0 ? cores : std::min<size_t>(static_cast<size_t>(context.max_dop), cores);
}

ColumnSplit::ColumnSplit(size_t threads, std::vector<uint8_t> together)
    : threads_(threads), together_(std::move(together)) {}

void ColumnSplit::Run(size_t columns, size_t rows, const std::function<void(size_t)>& fill) const {
  const size_t threads = std::min({threads_, columns, columns * rows / kValuesPerThread});
  if (threads < 2) {
    for (size_t c = 0; c < columns; ++c) fill(c);
    return;
  }
  std::vector<std::exception_ptr> errors(columns);
  auto attempt = [&](size_t c) {
    try {
      fill(c);
    } catch (...) {
      errors[c] = std::current_exception();
    }
  };
  auto shared = [&](size_t c) { return !together_.empty() && together_[c]; };
  std::atomic<size_t> next{0};
  auto take = [&] {
    for (size_t c = next++; c < columns; c = next++) {
      if (!shared(c)) attempt(c);
    }
  };
  RunOnThreads(
      threads,
      [&](size_t t) {
        if (t > 0) return take();
        // Only the calling thread touches what the flagged columns share.
        for (size_t c = 0; c < columns; ++c) {
          if (shared(c)) attempt(c);
        }
        take();
      },
      [&] { next = columns; });
  for (const std::exception_ptr& error : errors) {
    if (error) std::rethrow_exception(error);
  }
}

}  // namespace orv::engine
