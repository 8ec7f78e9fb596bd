// Chooses how a join runs: equalities between a left-only and a right-only
// expression become hash keys; what remains is checked on each joined row.
// WHERE conditions move down to the join inputs whose rows they read.
#pragma once

#include "engine/planner/plan.h"

namespace orv::engine {

// Splits `on` (bound on the joined row; may be null) into `join`'s keys and residual.
void PlanJoinCondition(BoundExprPtr on, size_t left_width, JoinPlan& join);

// `input` filtered by `predicate` (bound on input's rows). Each AND-ed part
// that reads only one input of an inner join (or the preserved side of an
// outer join) filters that input before the join; an inner join's part that
// reads both sides joins them (as a hash key when it is an equality). Parts
// with subqueries stay on top, where their outer references point.
PlanPtr PlanFilter(PlanPtr input, BoundExprPtr predicate);

}  // namespace orv::engine
