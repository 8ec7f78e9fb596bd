// Projection: computes the select list (and hidden ORDER BY values) per row.
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"

namespace orv::engine {

void StreamProject(const ProjectPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  std::vector<Value> out(plan.width);
  auto compute = [&](const Value* values) {
    EvalRow row{values, outer};
    for (size_t c = 0; c < plan.exprs.size(); ++c) {
      if (plan.live.empty() || plan.live[c]) out[c] = Evaluate(*plan.exprs[c], row, context);
    }
    sink(out.data());
  };
  StreamPlan(*plan.input, context, outer, compute);
}

}  // namespace orv::engine
