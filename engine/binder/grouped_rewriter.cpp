// Grouped-query rewriting; see grouped_rewriter.h.
#include "engine/binder/grouped_rewriter.h"

#include "engine/binder/binder.h"
#include "engine/common/errors.h"

namespace orv::engine {

int GroupedRewriter::MatchGroup(const BoundExpr& expr) const {
  for (size_t i = 0; i < grouping_.groups.size(); ++i) {
    if (SameExpr(expr, *grouping_.groups[i])) return static_cast<int>(i);
  }
  return -1;
}

void GroupedRewriter::RemapOuterColumns(BoundExpr& expr, int depth) {
  if (expr.kind == BoundKind::Column && expr.depth == depth) {
    BoundExprPtr here = MakeColumn(expr.column, expr.type, expr.nullable);  // as this query sees it
    int group = MatchGroup(*here);
    if (group < 0) Throw(ErrorCode::kNotInGroupBy, {expr.name}, expr.line);
    expr.column = group;
  }
  if (expr.subquery && remapped_.insert(expr.subquery.get()).second) {
    RemapOuterColumns(*expr.subquery, depth + 1);
  }
  for (auto& child : expr.children) RemapOuterColumns(*child, depth);
}

void GroupedRewriter::RemapOuterColumns(BoundQuery& query, int depth) {
  ForEachQueryExpression(query, [&](BoundExprPtr& e) {
    if (e) RemapOuterColumns(*e, depth);
  });
}

BoundExprPtr GroupedRewriter::Rewrite(BoundExprPtr expr) {
  size_t groups = grouping_.groups.size();
  int group = MatchGroup(*expr);
  if (group >= 0) {
    // WITH ROLLUP puts NULL into rolled-up group columns, so they can be NULL.
    return MakeColumn(group, expr->type, expr->nullable || grouping_.rollup, expr->name);
  }
  switch (expr->kind) {
    case BoundKind::Aggregate: {
      for (size_t i = 0; i < seen_aggregates_.size(); ++i) {
        if (SameExpr(*expr, *seen_aggregates_[i])) {
          return MakeColumn(static_cast<int>(2 * groups + i), expr->type, expr->nullable);
        }
      }
      seen_aggregates_.push_back(CloneExpr(*expr));
      AggregateCall call;
      call.kind = expr->aggregate;
      call.distinct = expr->distinct;
      call.result_type = expr->type;
      if (!expr->children.empty()) {
        call.argument_type = expr->children[0]->type;
        call.argument = std::move(expr->children[0]);
      } else {
        call.argument_type = DataType{TypeId::Int};
      }
      grouping_.aggregates.push_back(std::move(call));
      return MakeColumn(static_cast<int>(2 * groups + grouping_.aggregates.size() - 1), expr->type, expr->nullable);
    }
    case BoundKind::Grouping: {
      int index = MatchGroup(*expr->children[0]);
      if (index < 0) {
        Throw(ErrorCode::kNotSupported, {"GROUPING of an expression that is not in the GROUP BY list"}, expr->line);
      }
      return MakeColumn(static_cast<int>(groups + index), expr->type, false);
    }
    case BoundKind::Column:
      if (expr->depth == 0) Throw(ErrorCode::kNotInGroupBy, {expr->name}, expr->line);
      return expr;
    case BoundKind::InSubquery:
    case BoundKind::Exists:
    case BoundKind::ScalarSubquery:
      if (expr->correlated && remapped_.insert(expr->subquery.get()).second) {
        RemapOuterColumns(*expr->subquery, 1);
      }
      break;
    default:
      break;
  }
  for (auto& child : expr->children) child = Rewrite(std::move(child));
  return expr;
}

}  // namespace orv::engine
