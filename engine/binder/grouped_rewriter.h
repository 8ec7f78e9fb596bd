// Rewrites the expressions of a grouped query (select list, HAVING, ORDER BY)
// onto the rows of its aggregation: GROUP BY expressions and aggregates
// become references to the aggregate's output, GROUPING(x) to its flags, and
// a column that is neither raises 8120. A correlated subquery keeps its
// place; its references to this query's columns are moved onto the group
// columns of the aggregate's rows (8120 for a column not grouped on).
#pragma once

#include <set>
#include <vector>

#include "engine/planner/plan.h"

namespace orv::engine {

class GroupedRewriter {
 public:
  explicit GroupedRewriter(AggregatePlan& plan) : plan_(plan) {}

  BoundExprPtr Rewrite(BoundExprPtr expr);
  // Width of the aggregate's rows once every expression is rewritten.
  size_t OutputWidth() const { return 2 * plan_.groups.size() + plan_.aggregates.size(); }

 private:
  int MatchGroup(const BoundExpr& expr) const;
  // Moves the references `depth` queries out (to this query) in `plan` onto
  // group columns.
  void RemapOuterColumns(PlanNode& plan, int depth);
  void RemapOuterColumns(BoundExpr& expr, int depth);

  AggregatePlan& plan_;
  std::vector<BoundExprPtr> seen_aggregates_;  // as bound, to share equal aggregates
  std::set<const BoundQuery*> remapped_;       // subqueries are shared by the copies of an expression
};

}  // namespace orv::engine
