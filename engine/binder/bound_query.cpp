// The walk over a bound query's expressions; see bound_query.h.
#include "engine/binder/bound_query.h"

namespace orv::engine {
namespace {

using Visit = std::function<void(BoundExprPtr&)>;

void ForEachTableExpression(BoundTableRef& ref, const Visit& visit) {
  if (auto* derived = std::get_if<BoundDerivedTable>(&ref.source)) {
    ForEachQueryExpression(*derived->query, visit);
  } else if (auto* join = std::get_if<BoundJoin>(&ref.source)) {
    ForEachTableExpression(*join->left, visit);
    ForEachTableExpression(*join->right, visit);
    visit(join->on);
  }
}

void ForEachSelectExpression(BoundSelect& select, const Visit& visit) {
  if (select.from) ForEachTableExpression(*select.from, visit);
  visit(select.where);
  if (select.grouping) {
    for (auto& group : select.grouping->groups) visit(group);
    for (auto& call : select.grouping->aggregates) visit(call.argument);
  }
  visit(select.having);
  for (auto& item : select.items) visit(item);
  visit(select.top);
}

}  // namespace

void ForEachQueryExpression(BoundQuery& query, const Visit& visit) {
  if (auto* select = std::get_if<BoundSelect>(&query.body)) return ForEachSelectExpression(*select, visit);
  auto& set = std::get<BoundSetOperation>(query.body);
  ForEachQueryExpression(*set.left, visit);
  ForEachQueryExpression(*set.right, visit);
  for (auto& e : set.left_columns) visit(e);
  for (auto& e : set.right_columns) visit(e);
}

}  // namespace orv::engine
