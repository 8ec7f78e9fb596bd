// An uncorrelated x IN (SELECT column ...) whose subquery lists an integer
// column of rows read by position (a table's scan, or a chain of joins)
// fills its set from the column's stored numbers: each distinct number is
// converted and hashed once, instead of a row being made and evaluated for
// every row the subquery lists (a million, for a report's levels).
#pragma once

#include "engine/common/types.h"
#include "engine/execution/exec_context.h"
#include "engine/planner/plan.h"

namespace orv::engine {

// Fills `set` with the values `plan` lists, converted to `compare_type`;
// false, `set` untouched, when the plan is not of that shape or a row needs
// the row path (its filter or conversion failed there): the caller then
// runs the subquery row by row, which raises what it must.
bool FillStoredInSet(const PlanNode& plan, const DataType& compare_type, ExecContext& context, InSet& set);

}  // namespace orv::engine
