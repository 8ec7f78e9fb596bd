// Filter: passes on the rows whose predicate is true (not false, not unknown).
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"

namespace orv::engine {

void StreamFilter(const FilterPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  auto test = [&](const Value* values) {
    if (IsTrue(Evaluate(*plan.predicate, EvalRow{values, outer}, context))) sink(values);
  };
  StreamPlan(*plan.input, context, outer, test);
}

}  // namespace orv::engine
