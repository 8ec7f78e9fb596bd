// The lock that keeps one database's sessions apart: many readers or one
// writer, held by a session (not a thread, so a transaction's write lock may
// outlive the batch and the thread that took it). Waits give up after a time
// out; a waiting writer holds back new readers so it is not starved.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace orv::engine {

class DatabaseLock {
 public:
  // timeout_ms < 0 waits for ever, 0 not at all. False when it timed out.
  bool LockShared(int64_t timeout_ms);
  void UnlockShared();
  bool LockExclusive(const void* owner, int64_t timeout_ms);
  void UnlockExclusive(const void* owner);

 private:
  template <typename Ready>
  bool Wait(std::unique_lock<std::mutex>& lock, int64_t timeout_ms, Ready ready);

  std::mutex mutex_;
  std::condition_variable changed_;
  const void* writer_ = nullptr;
  int readers_ = 0;
  int waiting_writers_ = 0;
};

}  // namespace orv::engine
