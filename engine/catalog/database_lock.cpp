// Shared and exclusive locking with owners and time-outs.
#include "engine/catalog/database_lock.h"

#include <chrono>

namespace orv::engine {

template <typename Ready>
bool DatabaseLock::Wait(std::unique_lock<std::mutex>& lock, int64_t timeout_ms, Ready ready) {
  if (timeout_ms < 0) {
    changed_.wait(lock, ready);
    return true;
  }
  return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), ready);
}

bool DatabaseLock::LockShared(int64_t timeout_ms) {
  std::unique_lock lock(mutex_);
  if (!Wait(lock, timeout_ms, [&] { return writer_ == nullptr && waiting_writers_ == 0; })) return false;
  ++readers_;
  return true;
}

void DatabaseLock::UnlockShared() {
  std::lock_guard lock(mutex_);
  if (--readers_ == 0) changed_.notify_all();
}

bool DatabaseLock::LockExclusive(const void* owner, int64_t timeout_ms) {
  std::unique_lock lock(mutex_);
  ++waiting_writers_;
  const bool got = Wait(lock, timeout_ms, [&] { return writer_ == nullptr && readers_ == 0; });
  --waiting_writers_;
  if (got) {
    writer_ = owner;
  } else {
    changed_.notify_all();  // readers held back by this writer may go on
  }
  return got;
}

void DatabaseLock::UnlockExclusive(const void* owner) {
  std::lock_guard lock(mutex_);
  if (writer_ != owner) return;
  writer_ = nullptr;
  changed_.notify_all();
}

}  // namespace orv::engine
