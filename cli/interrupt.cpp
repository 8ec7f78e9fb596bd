// The handler only sets flags: nothing else is safe in a signal handler. It is
// installed without SA_RESTART, so a read waiting at the prompt returns with
// EINTR and the shell sees the Ctrl-C at once.
#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace orv::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;
// The session whose batch is running, or null at the prompt.
std::atomic<engine::Session*> g_running{nullptr};
struct sigaction g_previous {};

// Cancel is one lock-free atomic store, which is safe in a signal handler;
// the statement fails with the cancel error at its next check.
void RequestCancel(engine::Session& session) { session.Cancel(); }

void OnInterrupt(int) {
  if (engine::Session* session = g_running.load()) {
    RequestCancel(*session);
  } else {
    g_interrupted = 1;
  }
}

}  // namespace

InterruptHandler::InterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(SIGINT, &action, &g_previous);
}

InterruptHandler::~InterruptHandler() { sigaction(SIGINT, &g_previous, nullptr); }

bool TakeInterrupt() {
  const bool interrupted = g_interrupted != 0;
  g_interrupted = 0;
  return interrupted;
}

RunningStatement::RunningStatement(engine::Session& session) { g_running.store(&session); }

RunningStatement::~RunningStatement() { g_running.store(nullptr); }

}  // namespace orv::cli
