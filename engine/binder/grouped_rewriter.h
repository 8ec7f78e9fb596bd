// Rewrites the expressions of a grouped query (select list, HAVING, ORDER BY)
// onto the rows of its aggregation: GROUP BY expressions and aggregates
// become references to the aggregate's output, GROUPING(x) to its flags, and
// a column that is neither raises 8120. A correlated subquery keeps its
// place; its references to this query's columns are moved onto the group
// columns of the aggregate's rows (8120 for a column not grouped on).
#pragma once

#include <set>
#include <vector>

#include "engine/binder/bound_query.h"

namespace orv::engine {

class GroupedRewriter {
 public:
  explicit GroupedRewriter(BoundGrouping& grouping) : grouping_(grouping) {}

  BoundExprPtr Rewrite(BoundExprPtr expr);
 private:
  int MatchGroup(const BoundExpr& expr) const;
  // Makes an ordered aggregate's WITHIN GROUP order the grouping's (8711 when
  // another one already asked for a different order).
  void TakeWithinOrder(bound::Aggregate& aggregate, int line);
  // Moves the references `depth` queries out (to this query) in `query` onto
  // group columns.
  void RemapOuterColumns(BoundQuery& query, int depth);
  void RemapOuterColumns(BoundExpr& expr, int depth);

  BoundGrouping& grouping_;
  std::vector<BoundExprPtr> seen_aggregates_;  // as bound, to share equal aggregates
  std::set<const BoundQuery*> remapped_;       // subqueries are shared by the copies of an expression
};

}  // namespace orv::engine
