// STDEV, STDEVP, VAR and VARP over float: Welford's running mean and sum of
// squared deviations, merged by Chan's formula for subtotals. Both numbers
// live in the 16 bytes of the state's running value, so these aggregates
// take no more room per group than SUM does.
#include "engine/function/variance.h"

#include <cmath>
#include <cstring>

#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

struct Spread {
  double mean;
  double squares;  // the sum of squared deviations from the mean
};
static_assert(sizeof(Spread) == sizeof(Int128));

Spread Load(const AggregateState& state) {
  Spread s{};
  std::memcpy(&s, &state.running.dec, sizeof s);
  return s;
}

void Save(AggregateState& state, const Spread& s) { std::memcpy(&state.running.dec, &s, sizeof s); }

void CheckFinite(double x) {
  if (!std::isfinite(x)) ThrowExpressionOverflow(TypeId::Float);
}

}  // namespace

void AccumulateSpread(AggregateState& state, double x) {
  Spread s = Load(state);
  const double delta = x - s.mean;
  s.mean += delta / static_cast<double>(state.count);
  s.squares += delta * (x - s.mean);
  CheckFinite(s.squares);
  Save(state, s);
}

void MergeSpread(AggregateState& into, const AggregateState& from) {
  const Spread a = Load(into);
  const Spread b = Load(from);
  const double n_b = static_cast<double>(from.count);
  const double n_a = static_cast<double>(into.count) - n_b;
  const double n = n_a + n_b;
  const double delta = b.mean - a.mean;
  Spread merged{a.mean + delta * n_b / n, a.squares + b.squares + delta * delta * n_a * n_b / n};
  CheckFinite(merged.squares);
  Save(into, merged);
}

void FinishSpread(AggregateKind kind, const AggregateState& state, Value& out) {
  const bool sample = kind == AggregateKind::StDev || kind == AggregateKind::Var;
  const int64_t divisor = sample ? state.count - 1 : state.count;
  if (divisor <= 0) return out.SetNull(TypeId::Float);
  const double variance = Load(state).squares / static_cast<double>(divisor);
  const bool root = kind == AggregateKind::StDev || kind == AggregateKind::StDevP;
  out = Value::Double(root ? std::sqrt(variance) : variance);
}

}  // namespace orv::engine::detail
