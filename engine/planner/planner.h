// Turns bound queries into operator trees: scans and joins for the FROM
// clause (join_planner decides the hash keys and where WHERE conditions go),
// then aggregation, HAVING, the select list, DISTINCT, ORDER BY, TOP. The
// bound query stays as it was: each plan holds its own copies of the
// expressions. The subqueries met on the way are planned into `subqueries`.
#pragma once

#include "engine/binder/bound_query.h"
#include "engine/planner/plan.h"

namespace orv::engine {

// The operator tree of `query`, with the columns nothing reads left out.
PlanPtr PlanQuery(const BoundQuery& query, SubqueryPlans& subqueries);

// The rows UPDATE and DELETE act on: `from` filtered by `where` (may be null).
PlanPtr PlanDmlRows(const BoundTableRef& from, const BoundExpr* where, SubqueryPlans& subqueries);

// Plans the subqueries of an expression evaluated on its own (VALUES, SET,
// IF, a column default).
void PlanSubqueries(const BoundExpr& expr, SubqueryPlans& subqueries);

}  // namespace orv::engine
