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

}  // namespace

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
    if (!join.residual) {
      join.residual = std::move(conjunct);
    } else {
      auto both = std::make_unique<BoundExpr>(BoundKind::And);
      both->type = DataType{TypeId::Bit};
      both->children.push_back(std::move(join.residual));
      both->children.push_back(std::move(conjunct));
      join.residual = std::move(both);
    }
  }
}

}  // namespace orv::engine
