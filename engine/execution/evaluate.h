// Evaluation of bound expressions on one row, with SQL Server's
// three-valued logic: predicates yield a bit that may be NULL (unknown).
#pragma once

#include "engine/binder/bound_expr.h"
#include "engine/execution/exec_context.h"

namespace orv::engine {

Value EvaluateExpression(const BoundExpr& expr, const EvalRow& row, ExecContext& context);

// Column references of the current row, the most common node by far, are
// read here without a call.
inline Value Evaluate(const BoundExpr& expr, const EvalRow& row, ExecContext& context) {
  const auto* column = expr.As<bound::Column>();
  if (column && column->depth == 0) return row.values[column->position];
  return EvaluateExpression(expr, row, context);
}

inline bool IsTrue(const Value& v) { return !v.is_null && v.i != 0; }

// Whether a LIKE with a compiled pattern (and any NOT) is true of a non-NULL
// value's text.
bool CompiledLikeHolds(const bound::Like& like, std::string_view value);

}  // namespace orv::engine
