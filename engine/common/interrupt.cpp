// The running batch's flag and deadline are reached through a thread-local
// pointer, so the executor's loops find them without a parameter threaded
// through every operator.
#include "engine/common/interrupt.h"

#include "engine/common/errors.h"

namespace orv::engine {

namespace {

constexpr uint32_t kCallsBetweenChecks = 4096;
thread_local const InterruptState* current = nullptr;

bool Interrupted(const InterruptState& state, std::chrono::steady_clock::time_point now) {
  return state.flag->raised.load(std::memory_order_relaxed) || now >= state.deadline;
}

}  // namespace

InterruptScope::InterruptScope(CancelFlag& flag, std::chrono::milliseconds timeout) : previous_(current) {
  state_.flag = &flag;
  state_.outer = previous_;
  if (timeout.count() > 0) state_.deadline = std::chrono::steady_clock::now() + timeout;
  current = &state_;
  detail::interrupt_countdown = 1;
}

InterruptScope::~InterruptScope() { current = previous_; }

bool InterruptScope::interrupted() const { return Interrupted(state_, std::chrono::steady_clock::now()); }

const InterruptState* CurrentInterrupt() { return current; }

ThreadInterrupt::ThreadInterrupt(const InterruptState* state) : previous_(current) {
  current = state;
  detail::interrupt_countdown = 1;
}

ThreadInterrupt::~ThreadInterrupt() { current = previous_; }

void CheckInterruptNow() {
  detail::interrupt_countdown = kCallsBetweenChecks;
  if (!current) return;
  const auto now = std::chrono::steady_clock::now();
  for (const InterruptState* state = current; state; state = state->outer) {
    if (Interrupted(*state, now)) Throw(ErrorCode::kQueryCanceled);
  }
}

}  // namespace orv::engine
