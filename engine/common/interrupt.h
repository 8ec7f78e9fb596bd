// Cancellation and time-outs. A session's CancelFlag may be raised from any
// thread (or a signal handler: it is one lock-free atomic store); the thread
// running the session's batch installs it with an InterruptScope, and the
// loops of the executor call CheckInterrupt, which looks at the flag and the
// deadline every few thousand calls and ends the batch with the cancel error.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace orv::engine {

struct CancelFlag {
  std::atomic<bool> raised{false};
};

struct InterruptState {
  const CancelFlag* flag = nullptr;
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
};

class InterruptScope {
 public:
  // `timeout` zero: no deadline.
  InterruptScope(CancelFlag& flag, std::chrono::milliseconds timeout);
  ~InterruptScope();
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;

 private:
  InterruptState state_;
  InterruptState* previous_;
};

namespace detail {
inline thread_local uint32_t interrupt_countdown = 1;
void CheckInterruptNow();
}  // namespace detail

// Cheap enough for every row: a countdown, and now and then the real check.
inline void CheckInterrupt() {
  if (--detail::interrupt_countdown == 0) detail::CheckInterruptNow();
}

}  // namespace orv::engine
