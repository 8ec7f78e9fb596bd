// Cancellation and time-outs. A session's CancelFlag may be raised from any
// thread (or a signal handler: it is one lock-free atomic store); the thread
// running the session's batch installs it with an InterruptScope, and the
// loops of the executor call CheckInterrupt, which looks at the flag and the
// deadline every few thousand calls and ends the batch with the cancel error.
// Scopes nest: a caller that runs many batches on one thread (a report run
// with a time limit) installs one around them all, and each batch inside
// stops at the earlier of its own limit and the caller's.
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
  const InterruptState* outer = nullptr;
};

class InterruptScope {
 public:
  // `timeout` zero: no deadline.
  InterruptScope(CancelFlag& flag, std::chrono::milliseconds timeout);
  ~InterruptScope();
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;

  // Whether this scope's flag was raised or its deadline has passed.
  bool interrupted() const;

 private:
  InterruptState state_;
  const InterruptState* previous_;
};

// The interrupt state of this thread's batch, for the threads that work for
// it: a ThreadInterrupt there makes their CheckInterrupt see the same flag
// and deadline. The state must outlive it (the batch waits for its workers).
const InterruptState* CurrentInterrupt();
class ThreadInterrupt {
 public:
  explicit ThreadInterrupt(const InterruptState* state);
  ~ThreadInterrupt();
  ThreadInterrupt(const ThreadInterrupt&) = delete;
  ThreadInterrupt& operator=(const ThreadInterrupt&) = delete;

 private:
  const InterruptState* previous_;
};

// Throws the cancel error (3617) when a scope of the thread was interrupted.
// One clock read: for the steps of a loop whose every pass costs far more
// (a WHILE in T-SQL), where a countdown could let minutes pass.
void CheckInterruptNow();

namespace detail {
inline thread_local uint32_t interrupt_countdown = 1;
}  // namespace detail

// Cheap enough for every row: a countdown, and now and then the real check.
inline void CheckInterrupt() {
  if (--detail::interrupt_countdown == 0) CheckInterruptNow();
}

}  // namespace orv::engine
