// The number is shown both ways: clients quote HRESULTs in hex, the runtime in decimal.
#include "cli/automation_error_output.h"

#include <cstdio>
#include <ostream>

namespace orv::cli {

void PrintAutomationError(std::ostream& err, const platform::AutomationError& error) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(error.number()));
  err << "Number: " << hex << " (" << error.number() << ")\n"
      << "Source: " << error.source() << '\n'
      << "Description: " << error.description() << '\n';
}

}  // namespace orv::cli
