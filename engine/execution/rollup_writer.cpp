// Aggregate output rows and the ROLLUP subtotals; see rollup.h.
#include "engine/execution/rollup.h"

#include <algorithm>

namespace orv::engine {

void EmitAggregateRow(const AggregatePlan& plan, const Value* key, size_t kept, const AggregateState* states,
                      std::vector<Value>& result, RowSink sink, bool every_key) {
  const size_t n = plan.groups.size();
  auto live = [&](size_t column) { return plan.live.empty() || plan.live[column] || (every_key && column < 2 * n); };
  for (size_t g = 0; g < n; ++g) {
    if (live(g) && g < kept) {
      result[g] = key[g];
    } else if (live(g)) {
      result[g].SetNull(plan.groups[g]->type.id);
    }
    if (live(n + g)) result[n + g].SetInteger(TypeId::TinyInt, g < kept ? 0 : 1);
  }
  for (size_t k = 0; k < plan.aggregates.size(); ++k) {
    const AggregateCall& call = plan.aggregates[k];
    if (live(2 * n + k)) FinishAggregate(call.kind, states[k], call.argument_type, call.result_type, result[2 * n + k]);
  }
  sink(result.data());
}

RollupWriter::RollupWriter(const AggregatePlan& plan, RowSink sink)
    : plan_(plan),
      sink_(sink),
      n_(plan.groups.size()),
      a_(plan.aggregates.size()),
      running_(n_ * a_),
      previous_(n_),
      result_(plan.width) {}

void RollupWriter::Add(const Value* key, const AggregateState* states) {
  size_t differ = 0;
  while (any_ && differ + 1 < n_ && previous_[differ].is_null == key[differ].is_null &&
         (key[differ].is_null || CompareValues(previous_[differ], key[differ]) == 0)) {
    ++differ;
  }
  Add(key, states, differ);
}

void RollupWriter::Add(const Value* key, const AggregateState* states, size_t differ) {
  if (any_) {
    // Keys arrive sorted and distinct: the first column that differs closes
    // the subtotals of every longer prefix.
    for (size_t w = n_; w-- > differ + 1;) {
      EmitAggregateRow(plan_, previous_.data(), w, running_.data() + w * a_, result_, sink_);
      std::fill(running_.begin() + static_cast<ptrdiff_t>(w * a_),
                running_.begin() + static_cast<ptrdiff_t>((w + 1) * a_), AggregateState{});
    }
  }
  EmitAggregateRow(plan_, key, n_, states, result_, sink_);
  for (size_t w = 0; w < n_; ++w) {
    for (size_t k = 0; k < a_; ++k) {
      const AggregateCall& call = plan_.aggregates[k];
      MergeAggregate(call.kind, running_[w * a_ + k], states[k], call.argument_type);
    }
  }
  std::copy(key, key + n_, previous_.begin());
  any_ = true;
}

void RollupWriter::Finish() {
  if (!any_) {
    // The grand total of no rows: COUNT 0, the other aggregates NULL.
    const std::vector<AggregateState> none(a_);
    EmitAggregateRow(plan_, nullptr, 0, none.data(), result_, sink_);
    return;
  }
  for (size_t w = n_; w-- > 0;) EmitAggregateRow(plan_, previous_.data(), w, running_.data() + w * a_, result_, sink_);
}

}  // namespace orv::engine
