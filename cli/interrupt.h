// Ctrl-C in the interactive SQL shell never ends the process. At the prompt
// it drops the line being typed and the pending batch. While a batch runs it
// cancels the running statement: the batch ends with the cancel error.
#pragma once

#include "engine/engine.h"

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

// Marks that a batch of `session` is running, so that a Ctrl-C meanwhile
// cancels it and does not touch the prompt.
class RunningStatement {
 public:
  explicit RunningStatement(engine::Session& session);
  ~RunningStatement();
  RunningStatement(const RunningStatement&) = delete;
  RunningStatement& operator=(const RunningStatement&) = delete;
};

}  // namespace orv::cli
