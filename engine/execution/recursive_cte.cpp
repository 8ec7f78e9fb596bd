// Recursive common table expressions: the anchor's rows are the first level;
// each further level is what the recursive members make of the level before,
// until one is empty. Past the statement's MAXRECURSION levels (100 unless
// written; 0 for none) the statement ends with 530.
#include "engine/common/errors.h"
#include "engine/execution/executor.h"

namespace orv::engine {

Relation WorkingTableRows(const WorkingTablePlan& plan, ExecContext& context) {
  auto it = context.working_tables.find(plan.table.get());
  if (it == context.working_tables.end()) Throw(ErrorCode::kInternal, {"a recursive reference outside its CTE"});
  return *it->second;
}

Relation ExecuteRecursiveCte(const RecursiveCtePlan& plan, ExecContext& context, const EvalRow* outer) {
  Relation result = ExecutePlan(*plan.anchor, context, outer);
  Relation level = result;
  struct Forget {
    ExecContext& context;
    const WorkingTable* table;
    ~Forget() { context.working_tables.erase(table); }
  } forget{context, plan.table.get()};
  for (long long depth = 1; level.rows > 0; ++depth) {
    context.working_tables[plan.table.get()] = &level;
    Relation next(plan.width);
    for (const PlanPtr& member : plan.members) {
      Relation rows = ExecutePlan(*member, context, outer);
      next.cells.insert(next.cells.end(), rows.cells.begin(), rows.cells.end());
      next.rows += rows.rows;
    }
    if (next.rows == 0) break;
    if (plan.max_recursion > 0 && depth > plan.max_recursion) {
      Throw(ErrorCode::kMaxRecursionExhausted, {std::to_string(plan.max_recursion)});
    }
    result.cells.insert(result.cells.end(), next.cells.begin(), next.cells.end());
    result.rows += next.rows;
    level = std::move(next);
  }
  return result;
}

}  // namespace orv::engine
