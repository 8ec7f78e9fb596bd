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

// Whether a comparison `op` holds for two values that compared as `c` (<0, 0, >0).
inline bool CompareResult(CompareOp op, int c) {
  switch (op) {
    case CompareOp::Equal: return c == 0;
    case CompareOp::NotEqual: return c != 0;
    case CompareOp::Less: return c < 0;
    case CompareOp::LessEqual: return c <= 0;
    case CompareOp::Greater: return c > 0;
    case CompareOp::GreaterEqual: return c >= 0;
  }
  return false;
}

// Whether a LIKE with a compiled pattern (and any NOT) is true of a non-NULL
// value's text.
bool CompiledLikeHolds(const bound::Like& like, std::string_view value);

}  // namespace orv::engine
