// Columns of a block over several threads; see column_split.h. The helpers
// are not waited for: a helper the machine is too busy to run before the
// calling thread has claimed every column finds nothing left and the block
// costs what one thread costs. The calling thread waits only for columns a
// helper is filling.
#include "engine/execution/column_split.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/common/interrupt.h"
#include "engine/common/memory_budget.h"
#include "engine/execution/helper_threads.h"

namespace orv::engine {
namespace {

// What the calling thread and its helpers share. A helper may outlive the
// block (it may run late): it holds only this, and reads what the
// pointers point to only while it fills a column it has claimed, which the
// calling thread waits for.
struct Claims {
  Claims(size_t columns, const std::vector<uint8_t>* together, const std::function<void(size_t)>* fill,
         std::vector<std::exception_ptr>* errors, const InterruptState* interrupt, MemoryAccount* account)
      : columns(columns), together(together), fill(fill), errors(errors), interrupt(interrupt), account(account) {}

  size_t columns;
  const std::vector<uint8_t>* together;
  const std::function<void(size_t)>* fill;
  std::vector<std::exception_ptr>* errors;
  const InterruptState* interrupt;
  MemoryAccount* account;
  std::mutex lock;
  std::condition_variable idle;
  size_t next = 0;
  size_t filling = 0;  // columns helpers have claimed and not finished
  bool closed = false;
};

// The next column not flagged together, counted as being filled; false when none is left.
bool Claim(Claims& claims, size_t& column) {
  const std::lock_guard<std::mutex> held(claims.lock);
  if (claims.closed) return false;
  const std::vector<uint8_t>& together = *claims.together;
  while (claims.next < claims.columns && !together.empty() && together[claims.next]) ++claims.next;
  if (claims.next >= claims.columns) return false;
  column = claims.next++;
  ++claims.filling;
  return true;
}

void Attempt(Claims& claims, size_t column) {
  try {
    (*claims.fill)(column);
  } catch (...) {
    (*claims.errors)[column] = std::current_exception();
  }
}

void Finish(Claims& claims) {
  const std::lock_guard<std::mutex> held(claims.lock);
  --claims.filling;
  claims.idle.notify_all();
}

void Help(const std::shared_ptr<Claims>& claims) {
  size_t column = 0;
  while (Claim(*claims, column)) {
    {
      // The batch's cancel and memory budget hold on every thread.
      ThreadInterrupt interrupts(claims->interrupt);
      ThreadMemoryAccount charges(claims->account);
      Attempt(*claims, column);
    }
    Finish(*claims);
  }
}

// Closes the claims and waits for the columns being filled, on every way out.
class Closing {
 public:
  explicit Closing(Claims& claims) : claims_(claims) {}
  ~Closing() {
    std::unique_lock<std::mutex> held(claims_.lock);
    claims_.closed = true;
    claims_.idle.wait(held, [&] { return claims_.filling == 0; });
  }
  Closing(const Closing&) = delete;
  Closing& operator=(const Closing&) = delete;

 private:
  Claims& claims_;
};

}  // namespace

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
  auto claims = std::make_shared<Claims>(columns, &together_, &fill, &errors, CurrentInterrupt(),
                                         CurrentMemoryAccount());
  {
    const Closing closing(*claims);
    try {
      for (size_t t = 1; t < threads; ++t) RunOnHelper([claims] { Help(claims); });
    } catch (const std::system_error&) {
      // No thread to be had: this one fills every column.
    }
    // Only the calling thread touches what the flagged columns share.
    for (size_t c = 0; c < columns; ++c) {
      if (!together_.empty() && together_[c]) Attempt(*claims, c);
    }
    size_t column = 0;
    while (Claim(*claims, column)) {
      Attempt(*claims, column);
      Finish(*claims);
    }
  }
  for (const std::exception_ptr& error : errors) {
    if (error) std::rethrow_exception(error);
  }
}

}  // namespace orv::engine
