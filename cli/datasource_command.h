// `orvalent datasource`: shows the data source's capability cache for a
// session, loading it first when needed: the capabilities group (one row per
// property) and the data-type group (one row per type).
#pragma once

#include <iosfwd>
#include <string>

#include "cli/report_command.h"
#include "cli/result_table.h"

namespace CLI {
class App;
}

namespace orv::cli {

struct DataSourceOptions {
  std::string session = kDefaultSession;
  OutputFormat format = OutputFormat::Table;
};

CLI::App* AddDataSourceCommand(CLI::App& app, DataSourceOptions& options);

// Returns the exit code: 0 when both groups could be shown, 1 when loading raised.
int RunDataSourceCommand(const DataSourceOptions& options, std::ostream& out, std::ostream& err);

}  // namespace orv::cli
