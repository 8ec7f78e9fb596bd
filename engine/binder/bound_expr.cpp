// Structural comparison and copying of bound expressions.
#include "engine/binder/bound_expr.h"

namespace orv::engine {

bool SameExpr(const BoundExpr& a, const BoundExpr& b) {
  if (a.kind != b.kind || !(a.type == b.type) || a.children.size() != b.children.size()) return false;
  switch (a.kind) {
    case BoundKind::Constant:
      if (a.constant.is_null || b.constant.is_null) return a.constant.is_null == b.constant.is_null;
      return a.constant.type == b.constant.type && CompareValues(a.constant, b.constant) == 0;
    case BoundKind::Column:
      if (a.column != b.column || a.depth != b.depth) return false;
      break;
    case BoundKind::Arithmetic:
      if (a.binary_op != b.binary_op) return false;
      break;
    case BoundKind::Unary:
      if (a.unary_op != b.unary_op) return false;
      break;
    case BoundKind::Compare:
      if (a.compare_op != b.compare_op) return false;
      break;
    case BoundKind::Function:
      if (a.function != b.function || a.datepart != b.datepart) return false;
      break;
    case BoundKind::Cast:
      if (a.style != b.style) return false;
      break;
    case BoundKind::Aggregate:
      if (a.aggregate != b.aggregate || a.distinct != b.distinct) return false;
      break;
    case BoundKind::InSubquery:
    case BoundKind::Exists:
    case BoundKind::ScalarSubquery:
      if (a.subquery != b.subquery) return false;
      break;
    default:
      break;
  }
  if (a.negated != b.negated || a.has_else != b.has_else) return false;
  for (size_t i = 0; i < a.children.size(); ++i) {
    if (!SameExpr(*a.children[i], *b.children[i])) return false;
  }
  return true;
}

BoundExprPtr CloneExpr(const BoundExpr& e) {
  auto copy = std::make_unique<BoundExpr>(e.kind);
  copy->type = e.type;
  copy->nullable = e.nullable;
  copy->line = e.line;
  copy->constant = e.constant;
  copy->column = e.column;
  copy->depth = e.depth;
  copy->name = e.name;
  copy->binary_op = e.binary_op;
  copy->unary_op = e.unary_op;
  copy->compare_op = e.compare_op;
  copy->negated = e.negated;
  copy->has_else = e.has_else;
  copy->style = e.style;
  copy->function = e.function;
  copy->datepart = e.datepart;
  copy->aggregate = e.aggregate;
  copy->distinct = e.distinct;
  copy->compare_type = e.compare_type;
  copy->subquery = e.subquery;
  copy->correlated = e.correlated;
  copy->like_pattern = e.like_pattern;
  for (const auto& child : e.children) copy->children.push_back(CloneExpr(*child));
  return copy;
}

}  // namespace orv::engine
