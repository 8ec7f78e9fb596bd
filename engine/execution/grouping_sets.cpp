// GROUP BY GROUPING SETS (and CUBE, and ROLLUP mixed with other columns):
// the input's group keys and aggregate arguments are evaluated once, then
// each set hashes them on its own columns. A set's rows come out together,
// in the order the sets were written; columns outside the set are NULL with
// GROUPING 1. The empty set yields its grand total even over no rows.
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"
#include "engine/execution/rollup.h"
#include "engine/storage/row_index.h"

namespace orv::engine {
namespace {

// Evaluated inputs: per row, the group values then the aggregate arguments.
struct GroupingInput {
  size_t width = 0;
  size_t rows = 0;
  std::vector<Value> cells;
};

void AggregateSet(const AggregatePlan& plan, const std::vector<size_t>& set, const GroupingInput& in,
                  ExecContext& context, RowSink sink) {
  const size_t n = plan.groups.size();
  const size_t a = plan.aggregates.size();
  RowIndex groups(set.size());
  std::vector<RowIndex> distinct_seen;
  for (size_t k = 0; k < a; ++k) distinct_seen.emplace_back(2);
  std::vector<AggregateState> states;
  std::vector<Value> key(set.size());
  for (size_t r = 0; r < in.rows; ++r) {
    const Value* row = in.cells.data() + r * in.width;
    for (size_t i = 0; i < set.size(); ++i) key[i] = row[set[i]];
    bool inserted = false;
    const size_t group = set.empty() ? 0 : groups.FindOrInsert(key.data(), inserted);
    if ((group + 1) * a > states.size()) states.resize((group + 1) * a);
    for (size_t k = 0; k < a; ++k) {
      const AggregateCall& call = plan.aggregates[k];
      const Value& argument = row[n + k];
      if (call.distinct) {
        if (argument.is_null) continue;
        Value pair[2] = {Value::Integer(TypeId::BigInt, static_cast<int64_t>(group)), argument};
        bool fresh = false;
        distinct_seen[k].FindOrInsert(pair, fresh);
        if (!fresh) continue;
      }
      Accumulate(call.kind, states[group * a + k], argument, call.argument_type, context.arena, call.separator);
    }
  }
  const size_t group_count = set.empty() ? 1 : groups.size();
  states.resize(std::max(states.size(), group_count * a));
  std::vector<Value> result(plan.width);
  std::vector<uint8_t> in_set(n, 0);
  for (size_t g : set) in_set[g] = 1;
  for (size_t group = 0; group < group_count; ++group) {
    const Value* values = set.empty() ? nullptr : groups.Key(group);
    for (size_t g = 0, i = 0; g < n; ++g) {
      if (in_set[g]) {
        result[g] = values[i++];
      } else {
        result[g].SetNull(plan.groups[g]->type.id);
      }
      result[n + g].SetInteger(TypeId::TinyInt, in_set[g] ? 0 : 1);
    }
    for (size_t k = 0; k < a; ++k) {
      const AggregateCall& call = plan.aggregates[k];
      FinishAggregate(call.kind, states[group * a + k], call.argument_type, call.result_type, result[2 * n + k]);
    }
    sink(result.data());
  }
}

}  // namespace

void StreamGroupingSets(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  GroupingInput in;
  in.width = plan.groups.size() + plan.aggregates.size();
  auto add = [&](const Value* values) {
    const EvalRow row{values, outer};
    for (const auto& group : plan.groups) in.cells.push_back(Evaluate(*group, row, context));
    for (const AggregateCall& call : plan.aggregates) {
      in.cells.push_back(call.argument ? Evaluate(*call.argument, row, context) : Value::Integer(TypeId::Int, 1));
    }
    ++in.rows;
  };
  StreamPlan(*plan.input, context, outer, add);
  for (const auto& set : plan.sets) AggregateSet(plan, set, in, context, sink);
}

}  // namespace orv::engine
