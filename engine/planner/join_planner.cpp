// Equi-join key extraction.
#include "engine/planner/join_planner.h"

#include "engine/binder/binder.h"

namespace orv::engine {
namespace {

enum Side : int { kNone = 0, kLeft = 1, kRight = 2, kBoth = 3, kOpaque = 4 };

// Which side's columns `expr` reads; subqueries make it unusable as a key.
int SidesOf(const BoundExpr& expr, size_t left_width) {
  if (expr.kind == BoundKind::InSubquery || expr.kind == BoundKind::Exists ||
      expr.kind == BoundKind::ScalarSubquery) {
    return kOpaque;
  }
  int sides = kNone;
  if (expr.kind == BoundKind::Column && expr.depth == 0) {
    sides = static_cast<size_t>(expr.column) < left_width ? kLeft : kRight;
  }
  for (const auto& child : expr.children) sides |= SidesOf(*child, left_width);
  return sides;
}

void ShiftColumns(BoundExpr& expr, int shift) {
  if (expr.kind == BoundKind::Column && expr.depth == 0) expr.column -= shift;
  for (auto& child : expr.children) ShiftColumns(*child, shift);
}

void Flatten(BoundExprPtr expr, std::vector<BoundExprPtr>& out) {
  if (expr->kind == BoundKind::And) {
    Flatten(std::move(expr->children[0]), out);
    Flatten(std::move(expr->children[1]), out);
  } else {
    out.push_back(std::move(expr));
  }
}

// Whether every column `expr` reads lies in [begin, end) of the row; false
// for subqueries.
bool ReadsOnly(const BoundExpr& expr, size_t begin, size_t end) {
  if (expr.kind == BoundKind::InSubquery || expr.kind == BoundKind::Exists ||
      expr.kind == BoundKind::ScalarSubquery) {
    return false;
  }
  if (expr.kind == BoundKind::Column && expr.depth == 0) {
    auto column = static_cast<size_t>(expr.column);
    if (column < begin || column >= end) return false;
  }
  for (const auto& child : expr.children) {
    if (!ReadsOnly(*child, begin, end)) return false;
  }
  return true;
}

bool ReadsColumns(const BoundExpr& expr) {
  if (expr.kind == BoundKind::Column && expr.depth == 0) return true;
  for (const auto& child : expr.children) {
    if (ReadsColumns(*child)) return true;
  }
  return false;
}

BoundExprPtr AndOf(BoundExprPtr a, BoundExprPtr b) {
  if (!a) return b;
  auto both = std::make_unique<BoundExpr>(BoundKind::And);
  both->type = DataType{TypeId::Bit};
  both->line = a->line;
  both->children.push_back(std::move(a));
  both->children.push_back(std::move(b));
  return both;
}

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
    if (input->kind == PlanKind::Join && PushDown(input, conjunct)) continue;
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
    if (conjunct->kind == BoundKind::Compare && conjunct->compare_op == CompareOp::Equal) {
      int a = SidesOf(*conjunct->children[0], left_width);
      int b = SidesOf(*conjunct->children[1], left_width);
      int left_index = -1;
      if (a == kLeft && b == kRight) left_index = 0;
      if (a == kRight && b == kLeft) left_index = 1;
      if (left_index >= 0) {
        BoundExprPtr right = std::move(conjunct->children[1 - left_index]);
        ShiftColumns(*right, static_cast<int>(left_width));
        BoundExprPtr left = std::move(conjunct->children[left_index]);
        // Both keys of a pair must hash alike: give them one type unless they are texts.
        if (!(left->type == right->type) && !(IsString(left->type.id) && IsString(right->type.id))) {
          DataType common = CommonType(left->type, right->type);
          left = Binder::Convert(std::move(left), common);
          right = Binder::Convert(std::move(right), common);
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
