// FROM (VALUES ...): each row's expressions evaluated in turn; they may read
// the rows of the queries around (an APPLY's left row).
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"

namespace orv::engine {

void StreamValues(const ValuesPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  const EvalRow none{nullptr, outer};
  std::vector<Value> row(plan.width);
  for (const auto& exprs : plan.rows) {
    for (size_t c = 0; c < plan.width; ++c) row[c] = Evaluate(*exprs[c], none, context);
    sink(row.data());
  }
}

}  // namespace orv::engine
