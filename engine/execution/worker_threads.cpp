// Worker threads of one statement; see worker_threads.h.
#include "engine/execution/worker_threads.h"

#include <thread>
#include <vector>

#include "engine/common/interrupt.h"
#include "engine/common/memory_budget.h"

namespace orv::engine {

void RunOnThreads(size_t threads, const std::function<void(size_t)>& work, const std::function<void()>& stop) {
  const InterruptState* interrupt = CurrentInterrupt();
  MemoryAccount* account = CurrentMemoryAccount();
  std::vector<std::thread> workers;
  try {
    for (size_t t = 1; t < threads; ++t) {
      workers.emplace_back([&, t] {
        ThreadInterrupt interrupts(interrupt);
        ThreadMemoryAccount charges(account);
        work(t);
      });
    }
    work(0);
  } catch (...) {
    stop();
    for (std::thread& worker : workers) worker.join();
    throw;
  }
  for (std::thread& worker : workers) worker.join();
}

}  // namespace orv::engine
