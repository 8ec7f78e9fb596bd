// Marks the select-list items of derived tables and views that nothing above
// reads, so their projections skip them: a view of thirty columns read for
// two computes two. A column counts as read when an expression of any node
// above names it, including a correlated subquery's reference to it.
#pragma once

#include "engine/planner/plan.h"

namespace orv::engine {

// `plan` is a statement's query: every column of its own rows is read.
void MarkLiveColumns(PlanNode& plan);

}  // namespace orv::engine
