// Target rows of UPDATE and DELETE.
#include "engine/execution/dml_target.h"

#include "engine/execution/executor.h"
#include "engine/planner/planner.h"

namespace orv::engine {

DmlRows SelectTargetRows(const BoundDmlTarget& target, ExecContext& context) {
  PlanPtr plan = PlanDmlRows(*target.from, target.where.get(), context.subquery_plans);
  DmlRows result;
  result.rows = ExecutePlan(*plan, context, nullptr);
  result.row_ids.resize(result.rows.rows);
  for (size_t r = 0; r < result.rows.rows; ++r) {
    const Value& id = result.rows.Row(r)[target.row_id_column];
    result.row_ids[r] = id.is_null ? -1 : id.i;
  }
  return result;
}

}  // namespace orv::engine
