// OBJECT_NAME when it runs: the catalog's object of that id, in this
// database only (another database id gives NULL).
#pragma once

#include "engine/binder/bound_expr.h"
#include "engine/execution/exec_context.h"

namespace orv::engine {

Value EvaluateObjectName(const bound::ObjectName& node, const EvalRow& row, ExecContext& context);

}  // namespace orv::engine
