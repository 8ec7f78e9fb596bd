// DISTINCT: the first row of each set of equal rows (NULLs equal), in input order.
#include "engine/execution/executor.h"
#include "engine/storage/row_index.h"

namespace orv::engine {

Relation DistinctRows(const Relation& input) {
  RowIndex seen(input.width);
  Relation out(input.width);
  for (size_t r = 0; r < input.rows; ++r) {
    bool inserted = false;
    seen.FindOrInsert(input.Row(r), inserted);
    if (inserted) out.AppendRow(input.Row(r));
  }
  return out;
}

Relation ExecuteDistinct(const DistinctPlan& plan, ExecContext& context, const EvalRow* outer) {
  return DistinctRows(ExecutePlan(*plan.input, context, outer));
}

}  // namespace orv::engine
