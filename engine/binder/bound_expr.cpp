// Structural comparison and copying of bound expressions, and the small
// builders the binder and the planner share.
#include "engine/binder/bound_expr.h"

#include "engine/common/errors.h"

namespace orv::engine {
namespace {

const DataType kBit{TypeId::Bit};

// ------------------------------------------------------------ equality of what a node holds besides its children

bool SameNode(const bound::Constant& a, const bound::Constant& b) {
  if (a.value.is_null || b.value.is_null) return a.value.is_null == b.value.is_null;
  return a.value.type == b.value.type && CompareValues(a.value, b.value) == 0;
}
bool SameNode(const bound::Column& a, const bound::Column& b) { return a.position == b.position && a.depth == b.depth; }
bool SameNode(const bound::Cast& a, const bound::Cast& b) { return a.style == b.style && a.is_try == b.is_try; }
bool SameNode(const bound::Prefix& a, const bound::Prefix& b) { return a.op == b.op; }
bool SameNode(const bound::Arithmetic& a, const bound::Arithmetic& b) { return a.op == b.op; }
bool SameNode(const bound::Compare& a, const bound::Compare& b) { return a.op == b.op; }
bool SameNode(const bound::IsNull& a, const bound::IsNull& b) { return a.negated == b.negated; }
bool SameNode(const bound::Like& a, const bound::Like& b) {
  return a.negated == b.negated && (a.escape == nullptr) == (b.escape == nullptr);
}
bool SameNode(const bound::InSubquery& a, const bound::InSubquery& b) {
  return a.query == b.query && a.negated == b.negated;
}
bool SameNode(const bound::InList& a, const bound::InList& b) {
  return a.constants == b.constants && a.negated == b.negated;
}
bool SameNode(const bound::Exists& a, const bound::Exists& b) { return a.query == b.query; }
bool SameNode(const bound::ScalarSubquery& a, const bound::ScalarSubquery& b) { return a.query == b.query; }
bool SameNode(const bound::Case& a, const bound::Case& b) {
  return a.whens.size() == b.whens.size() && (a.otherwise == nullptr) == (b.otherwise == nullptr);
}
bool SameNode(const bound::Function& a, const bound::Function& b) {
  return a.function == b.function && a.datepart == b.datepart;
}
bool SameNode(const bound::Aggregate& a, const bound::Aggregate& b) {
  return a.kind == b.kind && a.distinct == b.distinct && a.separator == b.separator &&
         a.descending == b.descending;
}
bool SameNode(const bound::Variable& a, const bound::Variable& b) { return a.value == b.value; }
bool SameNode(const bound::Window& a, const bound::Window& b) {
  return a.kind == b.kind && a.aggregate == b.aggregate && a.arguments.size() == b.arguments.size() &&
         a.partition.size() == b.partition.size() && a.descending == b.descending && a.rows_frame == b.rows_frame &&
         a.start_unbounded == b.start_unbounded && a.end_unbounded == b.end_unbounded &&
         a.start_offset == b.start_offset && a.end_offset == b.end_offset;
}
// And, Or, Not, ObjectId, ObjectName, Grouping: their children say it all.
template <typename T>
bool SameNode(const T&, const T&) {
  return true;
}

std::vector<const BoundExpr*> Children(const BoundExpr& expr) {
  std::vector<const BoundExpr*> children;
  ForEachChild(expr, [&](const BoundExprPtr& child) { children.push_back(child.get()); });
  return children;
}

// ------------------------------------------------------------ copies

BoundExprPtr Clone(const BoundExprPtr& e) { return e ? CloneExpr(*e) : nullptr; }

std::vector<BoundExprPtr> Clone(const std::vector<BoundExprPtr>& list) {
  std::vector<BoundExprPtr> copies;
  for (const auto& e : list) copies.push_back(Clone(e));
  return copies;
}

BoundExpr::Node CopyNode(const bound::Constant& n) { return n; }
BoundExpr::Node CopyNode(const bound::Column& n) { return n; }
BoundExpr::Node CopyNode(const bound::Cast& n) { return bound::Cast{Clone(n.operand), n.style, n.is_try}; }
BoundExpr::Node CopyNode(const bound::Prefix& n) { return bound::Prefix{n.op, Clone(n.operand)}; }
BoundExpr::Node CopyNode(const bound::Arithmetic& n) { return bound::Arithmetic{n.op, Clone(n.left), Clone(n.right)}; }
BoundExpr::Node CopyNode(const bound::Compare& n) { return bound::Compare{n.op, Clone(n.left), Clone(n.right)}; }
BoundExpr::Node CopyNode(const bound::And& n) { return bound::And{Clone(n.left), Clone(n.right)}; }
BoundExpr::Node CopyNode(const bound::Or& n) { return bound::Or{Clone(n.left), Clone(n.right)}; }
BoundExpr::Node CopyNode(const bound::Not& n) { return bound::Not{Clone(n.operand)}; }
BoundExpr::Node CopyNode(const bound::IsNull& n) { return bound::IsNull{Clone(n.operand), n.negated}; }
BoundExpr::Node CopyNode(const bound::Like& n) {
  return bound::Like{Clone(n.value), Clone(n.pattern), Clone(n.escape), n.negated, n.compiled};
}
BoundExpr::Node CopyNode(const bound::InSubquery& n) {
  return bound::InSubquery{{n.query, n.correlated}, Clone(n.value), n.compare_type, n.negated};
}
BoundExpr::Node CopyNode(const bound::Exists& n) { return n; }
BoundExpr::Node CopyNode(const bound::ScalarSubquery& n) { return n; }
BoundExpr::Node CopyNode(const bound::Case& n) {
  bound::Case copy;
  for (const auto& when : n.whens) copy.whens.push_back(bound::When{Clone(when.condition), Clone(when.result)});
  copy.otherwise = Clone(n.otherwise);
  return copy;
}
BoundExpr::Node CopyNode(const bound::Function& n) {
  return bound::Function{n.function, n.datepart, Clone(n.arguments)};
}
BoundExpr::Node CopyNode(const bound::ObjectId& n) {
  return bound::ObjectId{Clone(n.object_name), Clone(n.object_type)};
}
BoundExpr::Node CopyNode(const bound::ObjectName& n) {
  return bound::ObjectName{Clone(n.object_id), Clone(n.database_id)};
}
BoundExpr::Node CopyNode(const bound::InList& n) {
  return bound::InList{Clone(n.value), n.constants, n.has_null, n.negated};
}
BoundExpr::Node CopyNode(const bound::Aggregate& n) {
  return bound::Aggregate{n.kind, n.distinct, Clone(n.argument), n.separator, Clone(n.order), n.descending};
}
BoundExpr::Node CopyNode(const bound::Grouping& n) { return bound::Grouping{Clone(n.operand)}; }
BoundExpr::Node CopyNode(const bound::Variable& n) { return n; }
BoundExpr::Node CopyNode(const bound::Window& n) {
  bound::Window copy;
  copy.kind = n.kind;
  copy.aggregate = n.aggregate;
  copy.arguments = Clone(n.arguments);
  copy.partition = Clone(n.partition);
  copy.order = Clone(n.order);
  copy.descending = n.descending;
  copy.rows_frame = n.rows_frame;
  copy.start_unbounded = n.start_unbounded;
  copy.end_unbounded = n.end_unbounded;
  copy.start_offset = n.start_offset;
  copy.end_offset = n.end_offset;
  copy.argument_type = n.argument_type;
  return copy;
}

}  // namespace

const bound::Subquery* SubqueryOf(const BoundExpr& expr) {
  switch (expr.kind()) {
    case BoundKind::InSubquery: return expr.As<bound::InSubquery>();
    case BoundKind::Exists: return expr.As<bound::Exists>();
    case BoundKind::ScalarSubquery: return expr.As<bound::ScalarSubquery>();
    default: return nullptr;
  }
}

bool SameExpr(const BoundExpr& a, const BoundExpr& b) {
  if (a.node.index() != b.node.index() || !(a.type == b.type)) return false;
  const bool same_node = std::visit(
      [&](const auto& x) { return SameNode(x, *std::get_if<std::decay_t<decltype(x)>>(&b.node)); }, a.node);
  if (!same_node) return false;
  std::vector<const BoundExpr*> left = Children(a);
  std::vector<const BoundExpr*> right = Children(b);
  if (left.size() != right.size()) return false;
  for (size_t i = 0; i < left.size(); ++i) {
    if (!SameExpr(*left[i], *right[i])) return false;
  }
  return true;
}

BoundExprPtr CloneExpr(const BoundExpr& e) {
  return std::make_unique<BoundExpr>(e.type, e.nullable, e.line,
                                     std::visit([](const auto& n) { return CopyNode(n); }, e.node));
}

// ------------------------------------------------------------ building

BoundExprPtr MakeColumn(int position, const DataType& type, bool nullable, std::string name) {
  return MakeExpr<bound::Column>(type, nullable, 0, position, 0, std::move(name));
}

BoundExprPtr MakeCompare(BoundExprPtr left, BoundExprPtr right, CompareOp op, int line) {
  DataType common = CommonType(left->type, right->type);
  bool nullable = left->nullable || right->nullable;
  return MakeExpr<bound::Compare>(kBit, nullable, line, op, ConvertForCompare(std::move(left), common),
                                  ConvertForCompare(std::move(right), common));
}

BoundExprPtr MakeAnd(BoundExprPtr left, BoundExprPtr right) {
  const bool nullable = left->nullable || right->nullable;
  const int line = left->line;
  return MakeExpr<bound::And>(kBit, nullable, line, std::move(left), std::move(right));
}

BoundExprPtr MakeOr(BoundExprPtr left, BoundExprPtr right) {
  const bool nullable = left->nullable || right->nullable;
  const int line = left->line;
  return MakeExpr<bound::Or>(kBit, nullable, line, std::move(left), std::move(right));
}

BoundExprPtr MakeNot(BoundExprPtr operand) {
  const bool nullable = operand->nullable;
  const int line = operand->line;
  return MakeExpr<bound::Not>(kBit, nullable, line, std::move(operand));
}

BoundExprPtr Convert(BoundExprPtr expr, const DataType& type) {
  if (expr->type == type) return expr;
  const bool nullable = expr->nullable;
  const int line = expr->line;
  // A pair no conversion joins is a clash of operands when it is implicit.
  if (!ConversionAllowed(expr->type, type)) {
    Throw(ErrorCode::kOperandTypeClash, {TypeDisplayName(expr->type.id), TypeDisplayName(type.id)}, line);
  }
  return MakeExpr<bound::Cast>(type, nullable, line, std::move(expr));
}

BoundExprPtr ConvertForCompare(BoundExprPtr expr, const DataType& type) {
  TypeId from = expr->type.id;
  TypeId to = type.id;
  bool compatible = from == to || from == TypeId::Null || (IsInteger(from) && IsInteger(to)) ||
                    (IsString(from) && IsString(to)) || (from == TypeId::Decimal && to == TypeId::Decimal);
  return compatible ? std::move(expr) : Convert(std::move(expr), type);
}

bool ContainsAggregate(const BoundExpr& expr) {
  if (expr.kind() == BoundKind::Aggregate) return true;
  bool found = false;
  ForEachChild(expr, [&](const BoundExprPtr& child) { found = found || ContainsAggregate(*child); });
  return found;
}

}  // namespace orv::engine
