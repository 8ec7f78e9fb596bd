// `orvalent serve --tds`: the embedded engine behind a TDS listener;
// `orvalent serve --http`: the reports' API and web viewer. Both until SIGINT
// or SIGTERM.
#pragma once

#include "cli/command_line.h"

namespace orv::cli {

void AddServeCommand(CommandLine& command_line);

}  // namespace orv::cli
