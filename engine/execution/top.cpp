// TOP n [PERCENT]: the first rows of its input (sorted when ORDER BY is given).
#include <cmath>

#include "engine/common/errors.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"

namespace orv::engine {

Relation ExecuteTop(const TopPlan& plan, ExecContext& context, const EvalRow* outer) {
  Relation input = ExecutePlan(*plan.input, context, outer);
  EvalRow none{nullptr, outer};
  Value count = CastValue(Evaluate(*plan.count, none, context), DataType{TypeId::Float}, context.arena);
  if (count.is_null || count.f < 0) Throw(ErrorCode::kTopInvalidValue, {}, plan.count->line);
  double wanted = count.f;
  if (plan.percent) wanted = std::ceil(wanted * static_cast<double>(input.rows) / 100.0);
  size_t keep = wanted >= static_cast<double>(input.rows) ? input.rows : static_cast<size_t>(wanted);
  input.cells.resize(keep * input.width);
  input.rows = keep;
  return input;
}

}  // namespace orv::engine
