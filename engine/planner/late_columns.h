// Late reading of a SELECT's plain columns. When a query's rows come from a
// join and some of its select-list items only name columns of the table
// scanned on the join's right side, the join need not copy those values row
// by row, 32 bytes each, in the scattered order its matches come in: the
// scan hands on each row's position in one of them instead, and the result
// reads every such column afterwards, once, at the positions kept.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "engine/planner/plan.h"

namespace orv::engine {

struct LateColumn {
  size_t output;  // select-list item
  size_t column;  // of the table
};

struct LateColumns {
  std::shared_ptr<Table> table;  // null: nothing is read late
  size_t carrier = 0;            // the item whose value is the table row's position (NULL: none)
  std::vector<LateColumn> columns;
};

// Rewrites the right-side scan of `plan` (a statement's query) so that the
// items it returns are left out of the join and carry the row position;
// returns them, or nothing when the query is not of that shape.
LateColumns DeferJoinedColumns(PlanNode& plan);

}  // namespace orv::engine
