// The input of an aggregation whose ordered aggregates (STRING_AGG ... WITHIN
// GROUP) read each group in an order: the rows sorted on it first, so each
// group meets its rows in that order as they stream in.
#pragma once

#include "engine/binder/bound_query.h"
#include "engine/planner/plan.h"

namespace orv::engine {

// `input` itself when the grouping asks for no order; else `input` with the
// order's keys appended as columns, sorted on them (the aggregation reads its
// columns by position, so the appended keys disturb nothing).
PlanPtr SortWithinGroups(PlanPtr input, const BoundGrouping& grouping);

}  // namespace orv::engine
