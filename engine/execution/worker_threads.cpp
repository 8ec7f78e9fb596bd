// Worker threads of one statement; see worker_threads.h.
#include "engine/execution/worker_threads.h"

#include <condition_variable>
#include <mutex>

#include "engine/common/interrupt.h"
#include "engine/common/memory_budget.h"
#include "engine/execution/helper_threads.h"

namespace orv::engine {
namespace {

// Counts the helpers still working; the calling thread waits until none is.
class Running {
 public:
  void Start() {
    const std::lock_guard<std::mutex> held(lock_);
    ++running_;
  }
  void Stop() {
    const std::lock_guard<std::mutex> held(lock_);
    if (--running_ == 0) done_.notify_all();
  }
  void Wait() {
    std::unique_lock<std::mutex> held(lock_);
    done_.wait(held, [&] { return running_ == 0; });
  }

 private:
  std::mutex lock_;
  std::condition_variable done_;
  size_t running_ = 0;
};

}  // namespace

void RunOnThreads(size_t threads, const std::function<void(size_t)>& work, const std::function<void()>& stop) {
  const InterruptState* interrupt = CurrentInterrupt();
  MemoryAccount* account = CurrentMemoryAccount();
  Running running;
  try {
    for (size_t t = 1; t < threads; ++t) {
      running.Start();
      try {
        RunOnHelper([&, t] {
          {
            ThreadInterrupt interrupts(interrupt);
            ThreadMemoryAccount charges(account);
            work(t);
          }
          running.Stop();
        });
      } catch (...) {
        running.Stop();
        throw;
      }
    }
    work(0);
  } catch (...) {
    stop();
    running.Wait();
    throw;
  }
  running.Wait();
}

}  // namespace orv::engine
