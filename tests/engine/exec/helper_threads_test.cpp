// Kept helper threads: a task runs off the calling thread, a helper that
// finished runs the next task rather than a new thread being started, tasks
// posted at once each get a thread, and a child of fork starts helpers of
// its own instead of waiting for its parent's.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "engine/execution/helper_threads.h"
#include "engine/execution/worker_threads.h"

namespace orv::engine {
namespace {

// Runs a task and waits for it: the thread it ran on, and how many tasks
// that thread has run so far.
std::pair<std::thread::id, int> RunAndWait() {
  std::promise<std::pair<std::thread::id, int>> ran;
  auto result = ran.get_future();
  RunOnHelper([&] {
    thread_local int tasks = 0;
    ran.set_value({std::this_thread::get_id(), ++tasks});
  });
  return result.get();
}

TEST(HelperThreads, AFinishedHelperTakesTheNextTask) {
  EXPECT_NE(RunAndWait().first, std::this_thread::get_id());
  // One task at a time needs a helper or two (one may still be finishing
  // the task before), so the threads that run them have each run many.
  int most = 0;
  for (int i = 0; i < 50; ++i) most = std::max(most, RunAndWait().second);
  EXPECT_GE(most, 5) << "a thread was started for each task";
}

TEST(HelperThreads, TasksWaitingForEachOtherEachGetAThread) {
  // Four tasks that only finish together: a pool that queued one behind a
  // busy helper would never let them.
  constexpr int kTasks = 4;
  std::mutex lock;
  std::condition_variable all_in;
  int arrived = 0;
  std::vector<std::promise<void>> done(kTasks);
  for (int t = 0; t < kTasks; ++t) {
    RunOnHelper([&, t] {
      {
        std::unique_lock<std::mutex> held(lock);
        ++arrived;
        all_in.notify_all();
        all_in.wait(held, [&] { return arrived == kTasks; });
      }
      done[t].set_value();
    });
  }
  for (auto& task : done) {
    ASSERT_EQ(task.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
  }
}

TEST(HelperThreads, AForkedChildRunsWorkOnHelpersOfItsOwn) {
  RunAndWait();  // the parent keeps an idle helper, which the child does not have
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Bounded: a child waiting for its parent's helper is killed, not waited on forever.
    alarm(30);
    std::vector<int> ran(3);
    RunOnThreads(3, [&](size_t t) { ran[t] = 1; }, [] {});
    _exit(ran == std::vector<int>{1, 1, 1} ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child did not finish";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace orv::engine
