// Evaluation of bound expressions on one row, with SQL Server's
// three-valued logic: predicates yield a bit that may be NULL (unknown).
#pragma once

#include "engine/binder/bound_expr.h"
#include "engine/execution/exec_context.h"

namespace orv::engine {

Value Evaluate(const BoundExpr& expr, const EvalRow& row, ExecContext& context);

inline bool IsTrue(const Value& v) { return !v.is_null && v.i != 0; }

}  // namespace orv::engine
