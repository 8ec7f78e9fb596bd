// Chooses how a join runs: equalities between a left-only and a right-only
// expression become hash keys; what remains is checked on each joined row.
#pragma once

#include "engine/planner/plan.h"

namespace orv::engine {

// Splits `on` (bound on the joined row; may be null) into `join`'s keys and residual.
void PlanJoinCondition(BoundExprPtr on, size_t left_width, JoinPlan& join);

}  // namespace orv::engine
