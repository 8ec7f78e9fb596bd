// CROSS APPLY and OUTER APPLY: the right side runs once for every left row,
// which its expressions read as their outer row.
#include "engine/execution/executor.h"

namespace orv::engine {

void StreamApply(const ApplyPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  const size_t left_width = plan.left->width;
  std::vector<Value> joined(plan.width);
  auto each_left = [&](const Value* left) {
    const EvalRow lateral{left, outer};
    Relation right = ExecutePlan(*plan.right, context, &lateral);
    std::copy(left, left + left_width, joined.begin());
    if (right.rows == 0 && plan.outer) {
      for (size_t c = left_width; c < plan.width; ++c) joined[c] = Value::Null();
      sink(joined.data());
      return;
    }
    for (size_t r = 0; r < right.rows; ++r) {
      std::copy(right.Row(r), right.Row(r) + right.width, joined.begin() + static_cast<ptrdiff_t>(left_width));
      sink(joined.data());
    }
  };
  StreamPlan(*plan.left, context, outer, each_left);
}

}  // namespace orv::engine
