// TOP n [PERCENT]: the first rows of its input (sorted when ORDER BY is given).
// TOP n stops its input after n rows; PERCENT must count them all first.
#include <cmath>

#include "engine/common/errors.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"

namespace orv::engine {
namespace {

size_t TopRowCount(double wanted) {
  constexpr double kAll = 1e18;
  return wanted >= kAll ? static_cast<size_t>(kAll) : static_cast<size_t>(wanted);
}

}  // namespace

Relation ExecuteTop(const TopPlan& plan, ExecContext& context, const EvalRow* outer) {
  EvalRow none{nullptr, outer};
  Value count = CastValue(Evaluate(*plan.count, none, context), DataType{TypeId::Float}, context.arena);
  if (count.is_null || count.f < 0) Throw(ErrorCode::kTopInvalidValue, {}, plan.count->line);
  double wanted = count.f;
  if (!plan.percent) return StreamFirstRows(*plan.input, context, outer, TopRowCount(wanted));
  Relation input = ExecutePlan(*plan.input, context, outer);
  wanted = std::ceil(wanted * static_cast<double>(input.rows) / 100.0);
  size_t keep = wanted >= static_cast<double>(input.rows) ? input.rows : static_cast<size_t>(wanted);
  input.cells.resize(keep * input.width);
  input.rows = keep;
  return input;
}

}  // namespace orv::engine
