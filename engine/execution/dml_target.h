// The rows UPDATE and DELETE act on: for each row of the FROM ... WHERE
// result, the position of the target row it came from.
#pragma once

#include <vector>

#include "engine/binder/binder.h"
#include "engine/execution/exec_context.h"

namespace orv::engine {

struct DmlRows {
  Relation rows;                 // the FROM ... WHERE rows
  std::vector<int64_t> row_ids;  // per row: the target row, or -1 (outer join padding)
};

// Plans and runs the bound FROM ... WHERE of `target`.
DmlRows SelectTargetRows(const BoundDmlTarget& target, ExecContext& context);

}  // namespace orv::engine
