#include "engine/planner/scan_predicate.h"

namespace orv::engine {
namespace {

// Constants and variables, cast or negated: one value for the whole statement,
// evaluated once when the scan starts.
bool FixedForScan(const BoundExpr& expr) {
  switch (expr.kind()) {
    case BoundKind::Constant:
    case BoundKind::Variable:
      return true;
    case BoundKind::Cast:
      return FixedForScan(*expr.As<bound::Cast>()->operand);
    case BoundKind::Prefix:
      return FixedForScan(*expr.As<bound::Prefix>()->operand);
    default:
      return false;
  }
}

// Text compares under the collation, row by row: only numbers and dates are
// worth testing on the stored values.
bool BlockComparable(const DataType& type) { return IsNumeric(type.id) || IsDateOrTime(type.id); }

// `value op column` is `column mirrored-op value`.
CompareOp Mirrored(CompareOp op) {
  switch (op) {
    case CompareOp::Less: return CompareOp::Greater;
    case CompareOp::LessEqual: return CompareOp::GreaterEqual;
    case CompareOp::Greater: return CompareOp::Less;
    case CompareOp::GreaterEqual: return CompareOp::LessEqual;
    default: return op;
  }
}

}  // namespace

bool PushIntoScan(ScanPlan& scan, BoundExprPtr& conjunct) {
  auto* compare = conjunct->As<bound::Compare>();
  if (!compare) return false;
  const bool column_left = compare->left->kind() == BoundKind::Column;
  const BoundExpr& column_side = column_left ? *compare->left : *compare->right;
  BoundExprPtr& value_side = column_left ? compare->right : compare->left;
  const auto* column = column_side.As<bound::Column>();
  if (!column || column->depth != 0 || !FixedForScan(*value_side)) return false;
  const auto position = static_cast<size_t>(column->position);
  if (position >= scan.table->column_count() || !BlockComparable(scan.table->schema()[position].type)) return false;
  ScanPredicate predicate;
  predicate.column = position;
  predicate.op = column_left ? compare->op : Mirrored(compare->op);
  predicate.value = CloneExpr(*value_side);
  predicate.conjunct = std::move(conjunct);
  scan.predicates.push_back(std::move(predicate));
  return true;
}

}  // namespace orv::engine
