// OFFSET ... FETCH and TOP ... WITH TIES over rows already sorted: the rows
// to skip, the rows to keep, and with ties every further row equal to the
// last kept one on the ORDER BY columns.
#include <cmath>

#include "engine/common/errors.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"

namespace orv::engine {
namespace {

bool SameKeys(const Value* a, const Value* b, const std::vector<SortKey>& keys) {
  for (const SortKey& key : keys) {
    if (CompareSortValues(a[key.column], b[key.column]) != 0) return false;
  }
  return true;
}

}  // namespace

Relation ExecuteLimit(const LimitPlan& plan, ExecContext& context, const EvalRow* outer) {
  Relation input = ExecutePlan(*plan.input, context, outer);
  const EvalRow none{nullptr, outer};
  size_t first = 0;
  if (plan.offset) {
    const Value offset = Evaluate(*plan.offset, none, context);
    if (offset.is_null || offset.i < 0) Throw(ErrorCode::kOffsetNegative, {}, plan.offset->line);
    first = std::min(static_cast<size_t>(offset.i), input.rows);
  }
  size_t end = input.rows;
  if (plan.count) {
    size_t keep = 0;
    if (plan.percent) {
      const Value percent = CastValue(Evaluate(*plan.count, none, context), DataType{TypeId::Float}, context.arena);
      if (percent.is_null || percent.f < 0 || percent.f > 100) Throw(ErrorCode::kTopPercentRange, {}, plan.count->line);
      keep = static_cast<size_t>(std::ceil(percent.f * static_cast<double>(input.rows) / 100.0));
    } else {
      const Value count = CastValue(Evaluate(*plan.count, none, context), DataType{TypeId::BigInt}, context.arena);
      if (plan.offset && (count.is_null || count.i <= 0)) Throw(ErrorCode::kFetchNotPositive, {}, plan.count->line);
      if (count.is_null || count.i < 0) Throw(ErrorCode::kTopInvalidValue, {}, plan.count->line);
      keep = static_cast<size_t>(count.i);
    }
    end = input.rows - first < keep ? input.rows : first + keep;
    if (plan.with_ties && end > first) {
      while (end < input.rows && SameKeys(input.Row(end - 1), input.Row(end), plan.keys)) ++end;
    }
  }
  Relation out(input.width);
  out.cells.assign(input.cells.begin() + static_cast<ptrdiff_t>(first * input.width),
                   input.cells.begin() + static_cast<ptrdiff_t>(end * input.width));
  out.rows = end - first;
  return out;
}

}  // namespace orv::engine
