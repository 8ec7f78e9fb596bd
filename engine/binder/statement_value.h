// The value of a bound expression that reads no row, worked out while binding:
// the statement is bound when it runs, so its variables already hold the
// values it will see.
#pragma once

#include <optional>

#include "engine/binder/bound_expr.h"

namespace orv::engine {

// Constants, variables, and conversions and built-ins over them; nullopt for
// anything else (a column, a subquery ...).
std::optional<Value> StatementValue(const BoundExpr& expr, StringArena& arena);

}  // namespace orv::engine
