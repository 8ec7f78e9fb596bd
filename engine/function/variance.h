// The running state of STDEV, STDEVP, VAR and VARP: a count, mean and sum of
// squared deviations kept by Welford's method, which stays accurate where
// the sum of squares less the squared sum would cancel away.
#pragma once

#include "engine/function/scalar.h"

namespace orv::engine::detail {

inline bool IsSpreadAggregate(AggregateKind kind) {
  return kind == AggregateKind::StDev || kind == AggregateKind::StDevP || kind == AggregateKind::Var ||
         kind == AggregateKind::VarP;
}

// `state.count` already counts `x`.
void AccumulateSpread(AggregateState& state, double x);
// `into.count` already includes `from`'s rows.
void MergeSpread(AggregateState& into, const AggregateState& from);
// The sample forms need two values and the population forms one; with fewer
// the result is NULL.
void FinishSpread(AggregateKind kind, const AggregateState& state, Value& out);

}  // namespace orv::engine::detail
