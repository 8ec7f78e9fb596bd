// `orvalent profile get|set`: reads or writes a user's display preference of a
// report through CDataRead.GetDisEnterProfile and CDataUpdate.SetDisEnterProfile,
// the way the ERP client calls them.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "cli/report_command.h"
#include "cli/result_writer.h"

namespace orv::cli {

struct ProfileOptions {
  std::string action;  // "get" or "set"
  int32_t report = 0;
  int32_t user = 0;
  std::optional<std::string> value;  // set only; may be empty
  std::string session = kDefaultSession;
  OutputSettings output;
};

void AddProfileCommand(CommandLine& command_line);

// Returns the exit code: 0 when the call succeeded (get prints the FPlan and
// FValue rows, set prints nothing), 1 when it raised, 2 when the options do
// not fit the action.
int RunProfileCommand(const ProfileOptions& options, std::ostream& out, std::ostream& err);

}  // namespace orv::cli
