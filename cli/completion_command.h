// `orvalent completion bash`: prints the bash completion script.
#pragma once

#include "cli/command_line.h"

namespace orv::cli {

// Add it last: the script covers the commands added before it.
void AddCompletionCommand(CommandLine& command_line);

}  // namespace orv::cli
