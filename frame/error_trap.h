// What the component's error traps catch, as an automation error: the caught
// automation error itself, or, for a failure of another kind (memory
// exhaustion, a fault in a lower layer), an automation error made from it, so
// the client always gets a number.
#pragma once

#include "platform/automation_error.h"

namespace orv::frame {

// Call only inside a catch block: the exception being handled, as an
// automation error. Out of memory becomes 7, anything else 0x80004005 with its
// text, both with the source "Orvalent".
platform::AutomationError CaughtError();

}  // namespace orv::frame
