// The error trap of the routines that re-raise what they catch: the caught
// number and description go on, and the source becomes CR LF followed by the
// routine's own name, so the client sees the path the error took.
#pragma once

#include <string>
#include <string_view>

#include "platform/automation_error.h"

namespace orv::toolkit {

[[noreturn]] inline void RaiseAgain(const platform::AutomationError& caught, std::string_view routine,
                                    std::string description) {
  throw platform::AutomationError(caught.number(), "\r\n" + std::string(routine), std::move(description));
}

[[noreturn]] inline void RaiseAgain(const platform::AutomationError& caught, std::string_view routine) {
  RaiseAgain(caught, routine, caught.description());
}

}  // namespace orv::toolkit
