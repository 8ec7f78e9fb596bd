// The rows UPDATE and DELETE act on: each row of the FROM ... WHERE result
// as it streams, with the position of the target row it came from.
#pragma once

#include <cstdint>

#include "engine/binder/binder.h"
#include "engine/execution/exec_context.h"
#include "engine/execution/executor.h"
#include "engine/planner/planner.h"

namespace orv::engine {

// Plans and runs the bound FROM ... WHERE of `target`, calling
// `visit(row, id)` per row; `id` is the target row, or -1 (outer join
// padding). The row is valid only during the call.
template <typename Visit>
void ForEachTargetRow(const BoundDmlTarget& target, ExecContext& context, Visit&& visit) {
  PlanPtr plan = PlanDmlRows(*target.from, target.where.get(), context.subquery_plans);
  auto sink = [&](const Value* row) {
    const Value& id = row[target.row_id_column];
    visit(row, id.is_null ? int64_t{-1} : id.i);
  };
  StreamPlan(*plan, context, nullptr, sink);
}

}  // namespace orv::engine
