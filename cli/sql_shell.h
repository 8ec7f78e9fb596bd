// The interactive SQL shell on a terminal: numbered prompts ("1> ", "2> ")
// like the server's command-line client, line editing and history, GO runs
// the batch, QUIT or EXIT (or end of input) leave. Ctrl-C at the prompt drops
// the pending batch; Ctrl-C while a batch runs never ends the shell.
#pragma once

#include <iosfwd>

#include "cli/script_runner.h"

namespace orv::cli {

void RunInteractive(ScriptRunner& script);

}  // namespace orv::cli
