// The replaced global operator new and delete: plain malloc and free, with
// the calling thread's MemoryAccount (when one is installed) charged the
// usable size of each block. Only allocations of a page or more are refused:
// they are where memory runs away (row buffers, hash tables, text), and
// refusing small ones could throw where the library promises not to.
#include "engine/common/memory_budget.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <new>

namespace orv::engine {
namespace {

constexpr size_t kRefusableBytes = 4096;
thread_local MemoryAccount* current = nullptr;
thread_local int unrefused = 0;

void* Allocate(size_t size, size_t alignment) {
  if (size == 0) size = 1;
  MemoryAccount* account = current;
  void* block = alignment > alignof(std::max_align_t) ? std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)
                                                       : std::malloc(size);
  if (!block) throw std::bad_alloc();
  if (account) {
    const auto bytes = static_cast<int64_t>(malloc_usable_size(block));
    const int64_t used = account->used.fetch_add(bytes, std::memory_order_relaxed) + bytes;
    if (!account->exceeded.load(std::memory_order_relaxed) && account->limit > 0 && used > account->limit &&
        size >= kRefusableBytes && unrefused == 0) {
      account->used.fetch_sub(bytes, std::memory_order_relaxed);
      account->exceeded.store(true, std::memory_order_relaxed);
      std::free(block);
      throw std::bad_alloc();
    }
  }
  return block;
}

void Release(void* block) noexcept {
  if (!block) return;
  if (MemoryAccount* account = current) {
    account->used.fetch_sub(static_cast<int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
  }
  std::free(block);
}

}  // namespace

size_t DefaultMemoryLimit() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  return static_cast<size_t>(pages) * static_cast<size_t>(page_size) / 2;
}

MemoryBudgetScope::MemoryBudgetScope(size_t limit) : previous_(current) {
  account_.limit = static_cast<int64_t>(limit);
  current = &account_;
}

MemoryBudgetScope::~MemoryBudgetScope() { current = previous_; }

MemoryAccount* CurrentMemoryAccount() { return current; }

ThreadMemoryAccount::ThreadMemoryAccount(MemoryAccount* account) : previous_(current) { current = account; }

ThreadMemoryAccount::~ThreadMemoryAccount() { current = previous_; }

void ResumeMemoryBudget() {
  if (current) current->exceeded = false;
}

UnrefusedAllocations::UnrefusedAllocations() { ++unrefused; }

UnrefusedAllocations::~UnrefusedAllocations() { --unrefused; }

}  // namespace orv::engine

void* operator new(size_t size) { return orv::engine::Allocate(size, 0); }
void* operator new[](size_t size) { return orv::engine::Allocate(size, 0); }
void* operator new(size_t size, std::align_val_t alignment) {
  return orv::engine::Allocate(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment) {
  return orv::engine::Allocate(size, static_cast<size_t>(alignment));
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return orv::engine::Allocate(size, 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  try {
    return orv::engine::Allocate(size, 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* block) noexcept { orv::engine::Release(block); }
void operator delete[](void* block) noexcept { orv::engine::Release(block); }
void operator delete(void* block, size_t) noexcept { orv::engine::Release(block); }
void operator delete[](void* block, size_t) noexcept { orv::engine::Release(block); }
void operator delete(void* block, std::align_val_t) noexcept { orv::engine::Release(block); }
void operator delete[](void* block, std::align_val_t) noexcept { orv::engine::Release(block); }
void operator delete(void* block, size_t, std::align_val_t) noexcept { orv::engine::Release(block); }
void operator delete[](void* block, size_t, std::align_val_t) noexcept { orv::engine::Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { orv::engine::Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { orv::engine::Release(block); }
