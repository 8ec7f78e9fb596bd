// Hash aggregation. The input streams through once; each row's group key and
// aggregate arguments are evaluated and the row joins its group. WITH ROLLUP
// the groups come out in the order SQL Server's sorted rollup gives: each
// group's rows, then its subtotal, the grand total last. Subtotals are merged
// from the sorted groups' states; DISTINCT aggregates cannot be merged, so
// with them every prefix of the group list is hashed as a level of its own.
// ROLLUP over integer keys sorts its rows instead (integer_rollup.cpp), and
// a scan grouped on integer columns is read column-wise (column_groups.cpp).
// Over no rows, a query without GROUP BY still yields one row, and so does
// ROLLUP (its grand total); a plain GROUP BY yields none.
#include <algorithm>
#include <numeric>

#include "engine/execution/column_groups.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"
#include "engine/execution/rollup.h"
#include "engine/execution/scan_selector.h"
#include "engine/storage/row_index.h"

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

int CompareKeyValue(const Value& a, const Value& b) {
  if (a.is_null != b.is_null) return a.is_null ? -1 : 1;
  if (a.is_null) return 0;
  if (a.type == b.type && IsInteger(a.type)) return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
  return CompareValues(a, b);
}

// Rollup order: keys ascending (NULL first), a rolled-up column after the
// rows that carry a value in it.
bool RollupBefore(const Value* a, const Value* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    int64_t fa = a[n + i].i;
    int64_t fb = b[n + i].i;
    if (fa != fb) return fa < fb;
    if (fa == 1) return false;
    int c = CompareKeyValue(a[i], b[i]);
    if (c != 0) return c < 0;
  }
  return false;
}

// The group numbers of `groups` in key order (NULL first).
std::vector<size_t> SortedGroups(const AggregatePlan& plan, const RowIndex& groups) {
  const size_t n = plan.groups.size();
  std::vector<size_t> order(groups.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](size_t x, size_t y) {
    const Value* kx = groups.Key(x);
    const Value* ky = groups.Key(y);
    for (size_t i = 0; i < n; ++i) {
      int c = CompareKeyValue(kx[i], ky[i]);
      if (c != 0) return c < 0;
    }
    return false;
  });
  return order;
}

// ROLLUP without DISTINCT aggregates over hashed groups: the groups sorted
// by key, then written with their subtotals.
void RollupFromSortedGroups(const AggregatePlan& plan, const Level& finest, RowSink sink) {
  const size_t a = plan.aggregates.size();
  std::vector<size_t> order = SortedGroups(plan, finest.groups);
  RollupWriter writer(plan, sink);
  // Groups are visited out of their memory order: fetch a few ahead.
  constexpr size_t kAhead = 8;
  for (size_t i = 0; i < order.size(); ++i) {
    if (i + kAhead < order.size()) {
      __builtin_prefetch(finest.groups.Key(order[i + kAhead]));
      __builtin_prefetch(finest.states.data() + order[i + kAhead] * a);
    }
    writer.Add(finest.groups.Key(order[i]), finest.states.data() + order[i] * a);
  }
  writer.Finish();
}

void AddRow(const AggregatePlan& plan, Level& level, const Value* key, uint64_t hash, const Value* args,
            StringArena& arena) {
  const size_t a = plan.aggregates.size();
  // The grand total has one group; it needs no lookup.
  bool inserted = !level.any_row;
  level.any_row = true;
  size_t group = level.width == 0 ? 0 : level.groups.FindOrInsert(key, hash, inserted);
  // States grow by doubling: resizing by one group a time costs a call per group.
  if (inserted && (group + 1) * a > level.states.size()) {
    level.states.resize(std::max((group + 1) * a, level.states.size() * 2));
  }
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
    Accumulate(call.kind, level.states[group * a + k], argument, call.argument_type, arena, call.separator);
  }
}

// Rows wait in batches of evaluated keys and arguments; a batch is hashed
// and its slots fetched before any row joins its group.
class BatchAdder {
 public:
  BatchAdder(const AggregatePlan& plan, std::vector<Level>& levels, StringArena& arena)
      : plan_(plan), levels_(levels), arena_(arena), n_(plan.groups.size()), a_(plan.aggregates.size()),
        keys_(kBatch * n_), args_(kBatch * a_), hashes_(kBatch) {}

  Value* NextKey() { return keys_.data() + rows_ * n_; }
  Value* NextArgs() { return args_.data() + rows_ * a_; }
  void Commit() {
    if (++rows_ == kBatch) Flush();
  }
  void Flush() {
    for (Level& level : levels_) {
      if (level.width > 0) {
        for (size_t r = 0; r < rows_; ++r) {
          hashes_[r] = HashKey(keys_.data() + r * n_, level.width);
          level.groups.Prefetch(hashes_[r]);
        }
      }
      for (size_t r = 0; r < rows_; ++r) {
        AddRow(plan_, level, keys_.data() + r * n_, hashes_[r], args_.data() + r * a_, arena_);
      }
    }
    rows_ = 0;
  }

 private:
  static constexpr size_t kBatch = 64;
  const AggregatePlan& plan_;
  std::vector<Level>& levels_;
  StringArena& arena_;
  size_t n_;
  size_t a_;
  size_t rows_ = 0;
  std::vector<Value> keys_;
  std::vector<Value> args_;
  std::vector<uint64_t> hashes_;
};

void EvaluateArguments(const AggregatePlan& plan, const EvalRow& row, ExecContext& context, Value* args) {
  for (size_t k = 0; k < plan.aggregates.size(); ++k) {
    const AggregateCall& call = plan.aggregates[k];
    args[k] = call.argument ? Evaluate(*call.argument, row, context) : Value::Integer(TypeId::Int, 1);
  }
}

// Aggregates without GROUP BY of a table's own columns (or COUNT(*)) that the
// column-wise path leaves (text, float and date arguments, DISTINCT aside)
// read the kept rows' values from the columns themselves: no row is built
// and no expression evaluated. False when the plan is not of that shape.
bool TotalFromScan(const AggregatePlan& plan, Level& total, ExecContext& context, const EvalRow* outer) {
  if (plan.input->kind != PlanKind::Scan) return false;
  const auto& scan = static_cast<const ScanPlan&>(*plan.input);
  std::vector<const Column*> columns;
  for (const AggregateCall& call : plan.aggregates) {
    if (call.distinct) return false;
    if (!call.argument) {
      columns.push_back(nullptr);
      continue;
    }
    const auto* column = call.argument->As<bound::Column>();
    if (!column || column->depth != 0 || static_cast<size_t>(column->position) >= scan.table->column_count()) {
      return false;
    }
    columns.push_back(&scan.table->column(static_cast<size_t>(column->position)));
  }
  std::vector<Value> args(columns.size());
  for (size_t k = 0; k < columns.size(); ++k) {
    if (!columns[k]) args[k] = Value::Integer(TypeId::Int, 1);
  }
  ForEachKeptRow(scan, context, outer, [&](size_t row) {
    CheckInterrupt();
    for (size_t k = 0; k < columns.size(); ++k) {
      if (columns[k]) columns[k]->Read(row, args[k]);
    }
    AddRow(plan, total, nullptr, 0, args.data(), context.arena);
  });
  return true;
}

// Every input row into the one group of an aggregate without GROUP BY:
// nothing to hash or batch.
void StreamIntoTotal(const AggregatePlan& plan, Level& total, ExecContext& context, const EvalRow* outer) {
  if (TotalFromScan(plan, total, context, outer)) return;
  std::vector<Value> args(plan.aggregates.size());
  auto add = [&](const Value* values) {
    EvaluateArguments(plan, EvalRow{values, outer}, context, args.data());
    AddRow(plan, total, nullptr, 0, args.data(), context.arena);
  };
  StreamPlan(*plan.input, context, outer, add);
}

// Every input row into its group at every level, a batch of rows at a time.
void StreamIntoGroups(const AggregatePlan& plan, std::vector<Level>& levels, ExecContext& context,
                      const EvalRow* outer) {
  const size_t n = plan.groups.size();
  BatchAdder adder(plan, levels, context.arena);
  auto add = [&](const Value* values) {
    EvalRow row{values, outer};
    Value* key = adder.NextKey();
    Value* args = adder.NextArgs();
    for (size_t g = 0; g < n; ++g) key[g] = Evaluate(*plan.groups[g], row, context);
    EvaluateArguments(plan, row, context, args);
    adder.Commit();
  };
  StreamPlan(*plan.input, context, outer, add);
  adder.Flush();
}

}  // namespace

void StreamAggregate(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  if (!plan.sets.empty()) return StreamGroupingSets(plan, context, outer, sink);
  if (StreamColumnGroups(plan, context, outer, sink)) return;
  const size_t n = plan.groups.size();
  const size_t a = plan.aggregates.size();
  const bool merge_rollup =
      plan.rollup && std::none_of(plan.aggregates.begin(), plan.aggregates.end(), [](const AggregateCall& call) {
        return call.distinct || call.kind == AggregateKind::StringAgg;
      });
  if (merge_rollup && StreamIntegerRollup(plan, context, outer, sink)) return;
  std::vector<Level> levels;
  for (size_t width = n + 1; width-- > (plan.rollup && !merge_rollup ? 0 : n);) levels.emplace_back(width, a);

  if (n == 0 && levels.size() == 1) {
    StreamIntoTotal(plan, levels.front(), context, outer);
  } else {
    StreamIntoGroups(plan, levels, context, outer);
  }
  if (merge_rollup) return RollupFromSortedGroups(plan, levels.front(), sink);

  // DISTINCT aggregates WITH ROLLUP: every level's rows, then sorted.
  Relation out(plan.width);
  auto collect = [&out](const Value* row) { out.AppendRow(row); };
  std::vector<Value> result(plan.width);
  for (Level& level : levels) {
    size_t group_count = level.width == 0 ? (level.any_row ? 1 : 0) : level.groups.size();
    if (level.width == 0 && group_count == 0) {
      // An aggregate without GROUP BY, or ROLLUP's grand total, answers even for no rows.
      group_count = 1;
      level.states.resize(a);
    }
    for (size_t group = 0; group < group_count; ++group) {
      const Value* key = level.width == 0 ? nullptr : level.groups.Key(group);
      EmitAggregateRow(plan, key, level.width, level.states.data() + group * a, result,
                       plan.rollup ? RowSink(collect) : sink, plan.rollup);
    }
  }
  if (!plan.rollup) return;
  std::vector<size_t> order(out.rows);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t x, size_t y) { return RollupBefore(out.Row(x), out.Row(y), n); });
  for (size_t r : order) sink(out.Row(r));
}

}  // namespace orv::engine
