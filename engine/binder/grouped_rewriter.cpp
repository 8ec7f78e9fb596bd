// Grouped-query rewriting; see grouped_rewriter.h.
#include "engine/binder/grouped_rewriter.h"

#include "engine/common/errors.h"

namespace orv::engine {

int GroupedRewriter::MatchGroup(const BoundExpr& expr) const {
  for (size_t i = 0; i < grouping_.groups.size(); ++i) {
    if (SameExpr(expr, *grouping_.groups[i])) return static_cast<int>(i);
  }
  return -1;
}

void GroupedRewriter::RemapOuterColumns(BoundExpr& expr, int depth) {
  auto* column = expr.As<bound::Column>();
  if (column && column->depth == depth) {
    BoundExprPtr here = MakeColumn(column->position, expr.type, expr.nullable);  // as this query sees it
    int group = MatchGroup(*here);
    if (group < 0) Throw(ErrorCode::kNotInGroupBy, {column->name}, expr.line);
    column->position = group;
  }
  const bound::Subquery* subquery = SubqueryOf(expr);
  if (subquery && remapped_.insert(subquery->query.get()).second) RemapOuterColumns(*subquery->query, depth + 1);
  ForEachChild(expr, [&](BoundExprPtr& child) { RemapOuterColumns(*child, depth); });
}

void GroupedRewriter::RemapOuterColumns(BoundQuery& query, int depth) {
  ForEachQueryExpression(query, [&](BoundExprPtr& e) {
    if (e) RemapOuterColumns(*e, depth);
  });
}

void GroupedRewriter::TakeWithinOrder(bound::Aggregate& aggregate, int line) {
  std::vector<BoundExprPtr>& order = grouping_.within_order;
  if (order.empty()) {
    order = std::move(aggregate.order);
    grouping_.within_descending = aggregate.descending;
    return;
  }
  // The rows are read in one order: a second ordered aggregate must ask for the same one.
  bool same = order.size() == aggregate.order.size() && grouping_.within_descending == aggregate.descending;
  for (size_t i = 0; same && i < order.size(); ++i) same = SameExpr(*order[i], *aggregate.order[i]);
  if (!same) Throw(ErrorCode::kOrderedAggregateOrders, {}, line);
}

BoundExprPtr GroupedRewriter::Rewrite(BoundExprPtr expr) {
  size_t groups = grouping_.groups.size();
  int group = MatchGroup(*expr);
  if (group >= 0) {
    // WITH ROLLUP puts NULL into rolled-up group columns, so they can be NULL.
    const auto* column = expr->As<bound::Column>();
    return MakeColumn(group, expr->type, expr->nullable || grouping_.rollup || !grouping_.sets.empty(), column ? column->name : std::string());
  }
  if (auto* aggregate = expr->As<bound::Aggregate>()) {
    for (size_t i = 0; i < seen_aggregates_.size(); ++i) {
      if (SameExpr(*expr, *seen_aggregates_[i])) {
        return MakeColumn(static_cast<int>(2 * groups + i), expr->type, expr->nullable);
      }
    }
    seen_aggregates_.push_back(CloneExpr(*expr));
    AggregateCall call;
    call.kind = aggregate->kind;
    call.distinct = aggregate->distinct;
    call.result_type = expr->type;
    call.argument_type = aggregate->argument ? aggregate->argument->type : DataType{TypeId::Int};
    call.argument = std::move(aggregate->argument);
    call.separator = aggregate->separator;
    if (!aggregate->order.empty()) TakeWithinOrder(*aggregate, expr->line);
    grouping_.aggregates.push_back(std::move(call));
    return MakeColumn(static_cast<int>(2 * groups + grouping_.aggregates.size() - 1), expr->type, expr->nullable);
  }
  if (const auto* grouping = expr->As<bound::Grouping>()) {
    int index = MatchGroup(*grouping->operand);
    if (index < 0) {
      Throw(ErrorCode::kNotSupported, {"GROUPING of an expression that is not in the GROUP BY list"}, expr->line);
    }
    return MakeColumn(static_cast<int>(groups + index), expr->type, false);
  }
  if (const auto* column = expr->As<bound::Column>()) {
    if (column->depth == 0) Throw(ErrorCode::kNotInGroupBy, {column->name}, expr->line);
    return expr;
  }
  const bound::Subquery* subquery = SubqueryOf(*expr);
  if (subquery && subquery->correlated && remapped_.insert(subquery->query.get()).second) {
    RemapOuterColumns(*subquery->query, 1);
  }
  ForEachChild(*expr, [&](BoundExprPtr& child) { child = Rewrite(std::move(child)); });
  return expr;
}

}  // namespace orv::engine
