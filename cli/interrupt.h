// Ctrl-C in the interactive SQL shell never ends the process. At the prompt
// it drops the line being typed and the pending batch. While a batch runs it
// is a request to cancel the running statement (see RequestCancel).
#pragma once

namespace orv::cli {

// Installs the shell's SIGINT handler for its lifetime (the previous one
// comes back afterwards). Without one, Ctrl-C ends the program as usual.
class InterruptHandler {
 public:
  InterruptHandler();
  ~InterruptHandler();
  InterruptHandler(const InterruptHandler&) = delete;
  InterruptHandler& operator=(const InterruptHandler&) = delete;
};

// True once for every Ctrl-C since the last call.
bool TakeInterrupt();

// Marks that a batch is running, so that a Ctrl-C meanwhile is meant for the
// statement and not for the prompt.
class RunningStatement {
 public:
  RunningStatement();
  ~RunningStatement();
  RunningStatement(const RunningStatement&) = delete;
  RunningStatement& operator=(const RunningStatement&) = delete;
};

// Whether a Ctrl-C came while a batch was running and the batch could not be
// stopped; cleared by the call.
bool TakeUnhonouredCancel();

}  // namespace orv::cli
