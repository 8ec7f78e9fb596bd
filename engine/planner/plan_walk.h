// Visits every expression of an operator tree: each node's own expressions
// (filter predicates, select lists, join keys and residuals, group keys and
// aggregate arguments, TOP counts), then the nodes below it. Subqueries
// inside the expressions are the visitor's to follow.
#pragma once

#include <functional>

#include "engine/planner/plan.h"

namespace orv::engine {

// `visit` receives each expression slot; a slot may hold null.
void ForEachPlanExpression(PlanNode& plan, const std::function<void(BoundExprPtr&)>& visit);

}  // namespace orv::engine
