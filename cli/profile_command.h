// `orvalent profile get|set`: reads or writes a user's display preference of a
// report through CDataRead.GetDisEnterProfile and CDataUpdate.SetDisEnterProfile,
// the way the ERP client calls them.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/report_command.h"
#include "cli/result_table.h"

namespace CLI {
class App;
}

namespace orv::cli {

struct ProfileOptions {
  std::string action;  // "get" or "set"
  int32_t report = 0;
  int32_t user = 0;
  std::optional<std::string> value;  // set only; may be empty
  std::string session = kDefaultSession;
  OutputFormat format = OutputFormat::Table;
};

// Adds the command and its options to `app`, filling `options` when parsed.
CLI::App* AddProfileCommand(CLI::App& app, ProfileOptions& options);

// Returns the exit code: 0 when the call succeeded (get prints the FPlan and
// FValue rows, set prints nothing), 1 when it raised or the options do not fit
// the action.
int RunProfileCommand(const ProfileOptions& options, std::ostream& out, std::ostream& err);

}  // namespace orv::cli
