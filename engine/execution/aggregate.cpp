// Hash aggregation. The input streams through once; each row's group key and
// aggregate arguments are evaluated, and every grouping level (all group
// columns and, WITH ROLLUP, every shorter prefix down to the grand total)
// adds the row to its group of that prefix. ROLLUP output comes in the order
// SQL Server's sorted rollup gives: each group's rows, then its subtotal, the
// grand total last. Over no rows, a query without GROUP BY still yields one
// row; with GROUP BY (even WITH ROLLUP) it yields none.
#include <algorithm>
#include <numeric>

#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"
#include "engine/execution/row_index.h"

namespace orv::engine {
namespace {

struct Level {
  explicit Level(size_t key_width, size_t aggregates) : width(key_width), groups(key_width) {
    for (size_t k = 0; k < aggregates; ++k) distinct_seen.emplace_back(2);
  }
  size_t width;  // group columns kept at this level
  bool any_row = false;
  RowIndex groups;
  std::vector<AggregateState> states;
  std::vector<RowIndex> distinct_seen;  // per aggregate: (group, value) pairs already counted
};

// Rollup order: keys ascending (NULL first), a rolled-up column after the
// rows that carry a value in it.
bool RollupBefore(const Value* a, const Value* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    int64_t fa = a[n + i].i;
    int64_t fb = b[n + i].i;
    if (fa != fb) return fa < fb;
    if (fa == 1) return false;
    if (a[i].is_null != b[i].is_null) return a[i].is_null;
    if (a[i].is_null) continue;
    int c = CompareValues(a[i], b[i]);
    if (c != 0) return c < 0;
  }
  return false;
}

void AddRow(const AggregatePlan& plan, Level& level, const Value* key, const Value* args, StringArena& arena) {
  const size_t a = plan.aggregates.size();
  // The grand total has one group; it needs no lookup.
  bool inserted = !level.any_row;
  level.any_row = true;
  size_t group = level.width == 0 ? 0 : level.groups.FindOrInsert(key, inserted);
  if (inserted) level.states.resize((group + 1) * a);
  for (size_t k = 0; k < a; ++k) {
    const AggregateCall& call = plan.aggregates[k];
    const Value& argument = args[k];
    if (call.distinct) {
      if (argument.is_null) continue;
      Value pair[2] = {Value::Integer(TypeId::BigInt, static_cast<int64_t>(group)), argument};
      bool fresh = false;
      level.distinct_seen[k].FindOrInsert(pair, fresh);
      if (!fresh) continue;
    }
    Accumulate(call.kind, level.states[group * a + k], argument, call.argument_type, arena);
  }
}

}  // namespace

Relation ExecuteAggregate(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer) {
  const size_t n = plan.groups.size();
  const size_t a = plan.aggregates.size();
  std::vector<Level> levels;
  for (size_t width = n + 1; width-- > (plan.rollup ? 0 : n);) levels.emplace_back(width, a);

  std::vector<Value> key(n);
  std::vector<Value> args(a);
  auto add = [&](const Value* values) {
    EvalRow row{values, outer};
    for (size_t g = 0; g < n; ++g) key[g] = Evaluate(*plan.groups[g], row, context);
    for (size_t k = 0; k < a; ++k) {
      const AggregateCall& call = plan.aggregates[k];
      args[k] = call.argument ? Evaluate(*call.argument, row, context) : Value::Integer(TypeId::Int, 1);
    }
    for (Level& level : levels) AddRow(plan, level, key.data(), args.data(), context.arena);
  };
  StreamPlan(*plan.input, context, outer, add);

  Relation out(plan.width);
  std::vector<Value> result(plan.width);
  for (Level& level : levels) {
    size_t level_width = level.width;
    size_t group_count = level_width == 0 ? (level.any_row ? 1 : 0) : level.groups.size();
    if (n == 0 && group_count == 0) {
      group_count = 1;  // an aggregate without GROUP BY answers even for no rows
      level.states.resize(a);
    }
    for (size_t group = 0; group < group_count; ++group) {
      for (size_t g = 0; g < n; ++g) {
        bool kept = g < level_width;
        result[g] = kept ? level.groups.Key(group)[g] : Value::Null(plan.groups[g]->type.id);
        result[n + g] = Value::Integer(TypeId::TinyInt, kept ? 0 : 1);
      }
      for (size_t k = 0; k < a; ++k) {
        const AggregateCall& call = plan.aggregates[k];
        result[2 * n + k] =
            FinishAggregate(call.kind, level.states[group * a + k], call.argument_type, call.result_type);
      }
      out.AppendRow(result.data());
    }
  }
  if (plan.rollup && out.rows > 1) {
    std::vector<size_t> order(out.rows);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t x, size_t y) { return RollupBefore(out.Row(x), out.Row(y), n); });
    Relation sorted(out.width);
    for (size_t r : order) sorted.AppendRow(out.Row(r));
    return sorted;
  }
  return out;
}

}  // namespace orv::engine
