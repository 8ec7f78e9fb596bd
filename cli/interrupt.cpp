// The handler only sets flags: nothing else is safe in a signal handler. It is
// installed without SA_RESTART, so a read waiting at the prompt returns with
// EINTR and the shell sees the Ctrl-C at once.
#include "cli/interrupt.h"

#include <csignal>

namespace orv::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;
volatile std::sig_atomic_t g_running = 0;
volatile std::sig_atomic_t g_cancel_requested = 0;
struct sigaction g_previous {};

// The seam where the running statement is to be cancelled. The engine runs a
// batch to its end and has no cancellation hook yet; once its session has
// one, this sets the session's cancel flag (an atomic store, which is
// signal-safe) and the statement fails with the server's cancel error.
void RequestCancel() { g_cancel_requested = 1; }

void OnInterrupt(int) {
  if (g_running != 0) {
    RequestCancel();
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

RunningStatement::RunningStatement() { g_running = 1; }

RunningStatement::~RunningStatement() { g_running = 0; }

bool TakeUnhonouredCancel() {
  const bool requested = g_cancel_requested != 0;
  g_cancel_requested = 0;
  return requested;
}

}  // namespace orv::cli
