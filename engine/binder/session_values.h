// Values that belong to the session rather than to any row: @@TRANCOUNT and
// XACT_STATE(). No statement changes them while it runs, so each is bound as
// a constant of the statement that reads it.
#pragma once

#include <optional>
#include <string_view>

#include "engine/catalog/session_state.h"
#include "engine/common/value.h"

namespace orv::engine {

// The value of `@@name` (any letter case), or nullopt when it is not one of these.
std::optional<Value> SessionVariable(std::string_view name, const SessionState& session);
// The value of the function `upper_name` called with `arguments` arguments;
// nullopt when it is not one of these. Raises 174 on a wrong argument count.
std::optional<Value> SessionFunction(std::string_view upper_name, size_t arguments, const SessionState& session,
                                     int line);

}  // namespace orv::engine
