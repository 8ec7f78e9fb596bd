// A SELECT's result from one table's rows, or from a chain of joins of
// tables, a block of rows at a time (see position_source.h): a copied item
// (see copied_item.h), or a CASE choosing between copied items by comparing
// columns with constants, goes from the columns' storage to the result
// column without evaluation, its texts shared with the tables instead of
// copied. Every other item is evaluated row by row as the row path evaluates
// it. The rows, their order, their values and the first error raised are
// the row path's. A large block's columns are filled on the threads MAXDOP
// allows (see column_split.h).
#pragma once

#include <cstddef>

#include "engine/execution/batch_result.h"
#include "engine/execution/exec_context.h"
#include "engine/planner/plan.h"

namespace orv::engine {

// Appends the rows of `plan` to `result` and returns true, with their count
// in `count`, when it selects from one table or such a chain of joins and
// some item is copied; false, having done nothing, for any other plan.
bool SelectColumnwise(const PlanNode& plan, ExecContext& context, ResultSet& result, size_t& count);

}  // namespace orv::engine
