// The memory a batch may hold. While a MemoryBudgetScope is installed on a
// thread, every allocation the thread makes through operator new is counted
// against it (and every release through operator delete taken off); a large
// allocation past the limit throws std::bad_alloc, which the session turns
// into error 701 at the batch boundary, so one runaway query fails alone
// instead of taking the process down.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace orv::engine {

// Half of the machine's physical memory: the default limit of a database.
size_t DefaultMemoryLimit();

// Atomic: the threads of one parallel query charge their batch's account.
struct MemoryAccount {
  std::atomic<int64_t> used{0};
  int64_t limit = 0;  // bytes; 0: no limit
  std::atomic<bool> exceeded{false};
};

class MemoryBudgetScope {
 public:
  explicit MemoryBudgetScope(size_t limit);
  ~MemoryBudgetScope();
  MemoryBudgetScope(const MemoryBudgetScope&) = delete;
  MemoryBudgetScope& operator=(const MemoryBudgetScope&) = delete;

  // Whether an allocation was refused; nothing is refused from then on (the
  // counting goes on), so that unwinding and reporting the error cannot fail
  // again, until ResumeMemoryBudget.
  bool exceeded() const { return account_.exceeded; }

 private:
  MemoryAccount account_;
  MemoryAccount* previous_;
};

// The account this thread charges (null: none), and a scope that makes a
// worker thread charge its batch's, which must outlive it.
MemoryAccount* CurrentMemoryAccount();
class ThreadMemoryAccount {
 public:
  explicit ThreadMemoryAccount(MemoryAccount* account);
  ~ThreadMemoryAccount();
  ThreadMemoryAccount(const ThreadMemoryAccount&) = delete;
  ThreadMemoryAccount& operator=(const ThreadMemoryAccount&) = delete;

 private:
  MemoryAccount* previous_;
};

// The statement that went past the budget has been unwound and what it held
// released: refuse again, so that a batch going on after the error (a CATCH
// block, a loop) stays within the budget too.
void ResumeMemoryBudget();

// While one lives, the thread's allocations are counted but never refused:
// a table half changed would be worse than a batch over its budget, so the
// step that applies a statement's checked rows to a table runs under one.
class UnrefusedAllocations {
 public:
  UnrefusedAllocations();
  ~UnrefusedAllocations();
  UnrefusedAllocations(const UnrefusedAllocations&) = delete;
  UnrefusedAllocations& operator=(const UnrefusedAllocations&) = delete;
};

}  // namespace orv::engine
