// A statement's work on several threads: the calling thread and workers
// that hold the batch's cancel and memory budget as it does.
#pragma once

#include <cstddef>
#include <functional>

namespace orv::engine {

// Runs work(t) for every t < `threads`, t = 0 on the calling thread and
// each other on a helper thread, and returns once all have stopped.
// work must catch its own errors but for t = 0's. When a thread cannot be
// started, or work(0) throws, `stop` tells the running ones to finish
// early, and the error is rethrown once they have.
void RunOnThreads(size_t threads, const std::function<void(size_t)>& work, const std::function<void()>& stop);

}  // namespace orv::engine
