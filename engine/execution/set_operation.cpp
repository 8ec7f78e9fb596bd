// UNION ALL appends; UNION removes duplicates of both sides; EXCEPT and
// INTERSECT return the distinct left rows absent from / present in the right.
#include "engine/execution/executor.h"
#include "engine/storage/row_index.h"

namespace orv::engine {

Relation ExecuteSetOperation(const SetOperationPlan& plan, ExecContext& context, const EvalRow* outer) {
  Relation left = ExecutePlan(*plan.left, context, outer);
  Relation right = ExecutePlan(*plan.right, context, outer);
  if (plan.op == ast::SetOp::UnionAll || plan.op == ast::SetOp::Union) {
    left.cells.insert(left.cells.end(), right.cells.begin(), right.cells.end());
    left.rows += right.rows;
    return plan.op == ast::SetOp::Union ? DistinctRows(left) : std::move(left);
  }
  RowIndex right_rows(right.width);
  bool inserted = false;
  for (size_t r = 0; r < right.rows; ++r) right_rows.FindOrInsert(right.Row(r), inserted);
  bool keep_present = plan.op == ast::SetOp::Intersect;
  Relation distinct_left = DistinctRows(left);
  Relation out(left.width);
  for (size_t r = 0; r < distinct_left.rows; ++r) {
    bool present = right_rows.Find(distinct_left.Row(r)) >= 0;
    if (present == keep_present) out.AppendRow(distinct_left.Row(r));
  }
  return out;
}

}  // namespace orv::engine
