// How the command line reports an error raised by a component call: its
// number in hex and decimal, its source and its description, one per line.
#pragma once

#include <iosfwd>

#include "platform/automation_error.h"

namespace orv::cli {

void PrintAutomationError(std::ostream& err, const platform::AutomationError& error);

}  // namespace orv::cli
