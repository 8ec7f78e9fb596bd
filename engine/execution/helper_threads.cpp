// Kept helper threads; see helper_threads.h.
#include "engine/execution/helper_threads.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <thread>

#include <pthread.h>

namespace orv::engine {
namespace {

// A helper idle this long ends: a server quiet for a while holds no threads.
constexpr std::chrono::seconds kKeptIdle{30};
// A helper that finishes watches for the next task this long before it
// sleeps: a statement hands out its next share within microseconds, and a
// sleeping thread takes far longer than that to wake on a virtual machine.
constexpr std::chrono::microseconds kWatched{100};

class HelperThreads {
 public:
  void Run(std::function<void()> task) {
    const std::lock_guard<std::mutex> held(lock_);
    tasks_.push_back(std::move(task));
    queued_.store(tasks_.size(), std::memory_order_release);
    if (idle_ >= tasks_.size()) {
      wake_.notify_one();
      return;
    }
    try {
      std::thread([this] { Serve(); }).detach();
    } catch (...) {
      tasks_.pop_back();
      queued_.store(tasks_.size(), std::memory_order_release);
      throw;
    }
  }

 private:
  void Serve() {
    std::unique_lock<std::mutex> held(lock_);
    for (;;) {
      if (tasks_.empty()) {
        ++idle_;
        held.unlock();
        Watch();
        held.lock();
        const bool woken = wake_.wait_for(held, kKeptIdle, [&] { return !tasks_.empty(); });
        --idle_;
        if (!woken) return;
      }
      std::function<void()> task = std::move(tasks_.front());
      tasks_.pop_front();
      queued_.store(tasks_.size(), std::memory_order_release);
      held.unlock();
      task();
      task = nullptr;  // what it holds goes before the thread waits again
      held.lock();
    }
  }

  // Returns once a task is queued or kWatched has passed.
  void Watch() const {
    const auto until = std::chrono::steady_clock::now() + kWatched;
    for (unsigned spins = 1;; ++spins) {
      if (queued_.load(std::memory_order_acquire) > 0) return;
      if (spins % 64 == 0 && std::chrono::steady_clock::now() >= until) return;
#if defined(__x86_64__) || defined(__i386__)
      __builtin_ia32_pause();
#endif
    }
  }

  std::mutex lock_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  std::atomic<size_t> queued_ = 0;  // tasks_.size(), for helpers watching without the lock
  size_t idle_ = 0;                 // helpers watching or waiting for a task
};

// Never destroyed: helpers may still wait on it while the process exits.
alignas(HelperThreads) unsigned char storage[sizeof(HelperThreads)];
HelperThreads* helpers = nullptr;
std::once_flag made;

HelperThreads& Helpers() {
  std::call_once(made, [] {
    helpers = new (storage) HelperThreads;
    // A child of fork has none of its parent's helpers, and its copy of the
    // lock may be held for good by a helper it does not have: it starts
    // afresh, the old pool left as it is.
    pthread_atfork(nullptr, nullptr, [] { helpers = new (storage) HelperThreads; });
  });
  return *helpers;
}

}  // namespace

void RunOnHelper(std::function<void()> task) { Helpers().Run(std::move(task)); }

}  // namespace orv::engine
