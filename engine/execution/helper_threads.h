// Threads kept for the work a statement hands to helpers. Starting a thread
// costs about what a helper's share of one block's columns does, and a
// large statement hands out hundreds of such shares, so a helper that
// finishes waits a while for the next task instead of ending.
#pragma once

#include <functional>

namespace orv::engine {

// Runs `task` on a kept helper thread, starting one when none is idle.
// `task` must not throw. Throws std::system_error when no thread can be
// started (`task` then never runs).
void RunOnHelper(std::function<void()> task);

}  // namespace orv::engine
