// `orvalent datasource`: shows the data source's capability cache for a
// session, loading it first when needed: the capabilities group (one row per
// property) and the data-type group (one row per type).
#pragma once

#include <iosfwd>
#include <string>

#include "cli/command_line.h"
#include "cli/report_command.h"
#include "cli/result_writer.h"

namespace orv::cli {

struct DataSourceOptions {
  std::string session = kDefaultSession;
  OutputSettings output;
};

void AddDataSourceCommand(CommandLine& command_line);

// Returns the exit code: 0 when both groups could be shown, 1 when loading raised.
int RunDataSourceCommand(const DataSourceOptions& options, std::ostream& out, std::ostream& err);

}  // namespace orv::cli
