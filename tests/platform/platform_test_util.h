// Helpers shared by the platform tests.
#pragma once

#include <cstdint>

#include "platform/automation_error.h"

namespace orv::platform::testing {

// Runs `action` and returns the number of the AutomationError it raises (0 if none).
template <typename Action>
int32_t ErrorOf(Action action) {
  try {
    action();
  } catch (const AutomationError& error) {
    return error.number();
  }
  return 0;
}

}  // namespace orv::platform::testing
