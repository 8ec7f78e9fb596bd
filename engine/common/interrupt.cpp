// The running batch's flag and deadline are reached through a thread-local
// pointer, so the executor's loops find them without a parameter threaded
// through every operator.
#include "engine/common/interrupt.h"

#include "engine/common/errors.h"

namespace orv::engine {

namespace {

constexpr uint32_t kCallsBetweenChecks = 4096;
thread_local InterruptState* current = nullptr;

}  // namespace

InterruptScope::InterruptScope(CancelFlag& flag, std::chrono::milliseconds timeout) : previous_(current) {
  state_.flag = &flag;
  if (timeout.count() > 0) state_.deadline = std::chrono::steady_clock::now() + timeout;
  current = &state_;
  detail::interrupt_countdown = 1;
}

InterruptScope::~InterruptScope() { current = previous_; }

namespace detail {

void CheckInterruptNow() {
  interrupt_countdown = kCallsBetweenChecks;
  const InterruptState* state = current;
  if (!state) return;
  if (state->flag->raised.load(std::memory_order_relaxed) || std::chrono::steady_clock::now() >= state->deadline) {
    Throw(ErrorCode::kQueryCanceled);
  }
}

}  // namespace detail
}  // namespace orv::engine
