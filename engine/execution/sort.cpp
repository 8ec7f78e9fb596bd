// ORDER BY: a stable sort of the rows on their key columns; NULL sorts
// lowest (first ascending, last descending); strings by the collation.
#include <algorithm>
#include <numeric>

#include "engine/execution/executor.h"

namespace orv::engine {

int CompareSortValues(const Value& a, const Value& b) {
  if (a.is_null || b.is_null) return a.is_null == b.is_null ? 0 : (a.is_null ? -1 : 1);
  return CompareValues(a, b);
}

Relation ExecuteSort(const SortPlan& plan, ExecContext& context, const EvalRow* outer) {
  Relation input = ExecutePlan(*plan.input, context, outer);
  std::vector<size_t> order(input.rows);
  std::iota(order.begin(), order.end(), 0);
  auto before = [&](size_t x, size_t y) {
    const Value* a = input.Row(x);
    const Value* b = input.Row(y);
    for (const SortKey& key : plan.keys) {
      const int c = CompareSortValues(a[key.column], b[key.column]);
      if (c != 0) return key.descending ? c > 0 : c < 0;
    }
    return false;
  };
  std::stable_sort(order.begin(), order.end(), before);
  Relation out(input.width);
  out.cells.reserve(input.cells.size());
  for (size_t r : order) out.AppendRow(input.Row(r));
  return out;
}

}  // namespace orv::engine
