// Equi-join key extraction.
#include "engine/planner/join_planner.h"

#include "engine/planner/scan_predicate.h"

namespace orv::engine {
namespace {

enum Side : int { kNone = 0, kLeft = 1, kRight = 2, kBoth = 3, kOpaque = 4 };

// The column of the row itself that `expr` reads, if it is one.
template <typename Expr>
auto* OwnColumn(Expr& expr) {
  auto* column = expr.template As<bound::Column>();
  return column && column->depth == 0 ? column : nullptr;
}

// Which side's columns `expr` reads; subqueries make it unusable as a key.
int SidesOf(const BoundExpr& expr, size_t left_width) {
  if (SubqueryOf(expr)) return kOpaque;
  int sides = kNone;
  if (const auto* column = OwnColumn(expr)) {
    sides = static_cast<size_t>(column->position) < left_width ? kLeft : kRight;
  }
  ForEachChild(expr, [&](const BoundExprPtr& child) { sides |= SidesOf(*child, left_width); });
  return sides;
}

void ShiftColumns(BoundExpr& expr, int shift) {
  if (auto* column = OwnColumn(expr)) column->position -= shift;
  ForEachChild(expr, [&](BoundExprPtr& child) { ShiftColumns(*child, shift); });
}

void Flatten(BoundExprPtr expr, std::vector<BoundExprPtr>& out) {
  if (auto* both = expr->As<bound::And>()) {
    Flatten(std::move(both->left), out);
    Flatten(std::move(both->right), out);
  } else {
    out.push_back(std::move(expr));
  }
}

// Whether every column `expr` reads lies in [begin, end) of the row; false
// for subqueries.
bool ReadsOnly(const BoundExpr& expr, size_t begin, size_t end) {
  if (SubqueryOf(expr)) return false;
  if (const auto* column = OwnColumn(expr)) {
    auto position = static_cast<size_t>(column->position);
    if (position < begin || position >= end) return false;
  }
  bool inside = true;
  ForEachChild(expr, [&](const BoundExprPtr& child) { inside = inside && ReadsOnly(*child, begin, end); });
  return inside;
}

bool ReadsColumns(const BoundExpr& expr) {
  bool reads = OwnColumn(expr) != nullptr;
  ForEachChild(expr, [&](const BoundExprPtr& child) { reads = reads || ReadsColumns(*child); });
  return reads;
}

// Whether `expr` compares two constants of one type and holds (WHERE 1=1):
// it filters nothing, and evaluated here it is not evaluated for every row.
bool HoldsAlways(const BoundExpr& expr) {
  const auto* compare = expr.As<bound::Compare>();
  const auto* left = compare ? compare->left->As<bound::Constant>() : nullptr;
  const auto* right = compare ? compare->right->As<bound::Constant>() : nullptr;
  return left && right && !left->value.is_null && !right->value.is_null && left->value.type == right->value.type &&
         CompareResult(compare->op, CompareValues(left->value, right->value));
}

BoundExprPtr AndOf(BoundExprPtr a, BoundExprPtr b) { return a ? MakeAnd(std::move(a), std::move(b)) : std::move(b); }

// Moves `conjunct` as far down `plan` as it may go; false when it must stay
// above `plan`.
bool PushDown(PlanPtr& plan, BoundExprPtr& conjunct) {
  if (!ReadsOnly(*conjunct, 0, plan->width) || !ReadsColumns(*conjunct)) return false;
  if (plan->kind == PlanKind::Scan) {
    plan = PlanFilter(std::move(plan), std::move(conjunct));
    return true;
  }
  if (plan->kind == PlanKind::Filter) {
    auto& filter = static_cast<FilterPlan&>(*plan);
    if (PushDown(filter.input, conjunct)) return true;
    filter.predicate = AndOf(std::move(filter.predicate), std::move(conjunct));
    return true;
  }
  if (plan->kind != PlanKind::Join) return false;
  auto& join = static_cast<JoinPlan&>(*plan);
  const size_t left_width = join.left->width;
  const bool inner = join.type == ast::JoinType::Inner || join.type == ast::JoinType::Cross;
  const bool left_kept = join.type == ast::JoinType::Left || join.type == ast::JoinType::Full;
  const bool right_kept = join.type == ast::JoinType::Right || join.type == ast::JoinType::Full;
  if (!right_kept && ReadsOnly(*conjunct, 0, left_width)) {
    if (!PushDown(join.left, conjunct)) join.left = PlanFilter(std::move(join.left), std::move(conjunct));
    return true;
  }
  if (!left_kept && ReadsOnly(*conjunct, left_width, plan->width)) {
    ShiftColumns(*conjunct, static_cast<int>(left_width));
    if (!PushDown(join.right, conjunct)) join.right = PlanFilter(std::move(join.right), std::move(conjunct));
    return true;
  }
  if (!inner) return false;
  PlanJoinCondition(std::move(conjunct), left_width, join);
  return true;
}

}  // namespace

PlanPtr PlanFilter(PlanPtr input, BoundExprPtr predicate) {
  std::vector<BoundExprPtr> conjuncts;
  Flatten(std::move(predicate), conjuncts);
  BoundExprPtr kept;
  for (auto& conjunct : conjuncts) {
    if (HoldsAlways(*conjunct)) continue;
    if (input->kind == PlanKind::Join && PushDown(input, conjunct)) continue;
    if (input->kind == PlanKind::Scan && PushIntoScan(static_cast<ScanPlan&>(*input), conjunct)) continue;
    kept = AndOf(std::move(kept), std::move(conjunct));
  }
  if (!kept) return input;
  auto filter = std::make_unique<FilterPlan>();
  filter->width = input->width;
  filter->input = std::move(input);
  filter->predicate = std::move(kept);
  return filter;
}

void PlanJoinCondition(BoundExprPtr on, size_t left_width, JoinPlan& join) {
  if (!on) return;
  std::vector<BoundExprPtr> conjuncts;
  Flatten(std::move(on), conjuncts);
  for (auto& conjunct : conjuncts) {
    auto* compare = conjunct->As<bound::Compare>();
    if (compare && compare->op == CompareOp::Equal) {
      int a = SidesOf(*compare->left, left_width);
      int b = SidesOf(*compare->right, left_width);
      const bool straight = a == kLeft && b == kRight;
      if (straight || (a == kRight && b == kLeft)) {
        BoundExprPtr left = std::move(straight ? compare->left : compare->right);
        BoundExprPtr right = std::move(straight ? compare->right : compare->left);
        ShiftColumns(*right, static_cast<int>(left_width));
        // Both keys of a pair must hash alike: give them one type unless they are texts.
        if (!(left->type == right->type) && !(IsString(left->type.id) && IsString(right->type.id))) {
          DataType common = CommonType(left->type, right->type);
          left = Convert(std::move(left), common);
          right = Convert(std::move(right), common);
        }
        join.left_keys.push_back(std::move(left));
        join.right_keys.push_back(std::move(right));
        continue;
      }
    }
    join.residual = AndOf(std::move(join.residual), std::move(conjunct));
  }
}

}  // namespace orv::engine
