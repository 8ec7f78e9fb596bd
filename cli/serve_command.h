// `orvalent serve --tds`: the embedded engine behind a TDS listener, until
// SIGINT or SIGTERM.
#pragma once

namespace CLI {
class App;
}

namespace orv::cli {

// Adds the subcommand; it runs from its parse callback and ends the parse.
void AddServeCommand(CLI::App& app);

}  // namespace orv::cli
