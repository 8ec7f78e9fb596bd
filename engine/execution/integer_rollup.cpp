// ROLLUP over integer keys by sorting rather than hashing: every row's keys
// and arguments are gathered column by column, the rows sorted on their keys
// (a radix sort of one packed 64-bit key when the keys' ranges fit in it, a
// stable comparison sort otherwise) and each run of equal keys accumulated
// into one group for the RollupWriter. Rows of equal keys keep their input
// order, as the hashed path accumulates them.
#include <algorithm>
#include <numeric>
#include <optional>

#include "engine/execution/evaluate.h"
#include "engine/execution/key_packing.h"
#include "engine/execution/rollup.h"
#include "engine/storage/huge_pages.h"

namespace orv::engine {
namespace {

struct GatheredRows {
  explicit GatheredRows(size_t n) : values(n), nulls(n), lows(n, INT64_MAX), highs(n, INT64_MIN) {}
  size_t rows = 0;
  std::vector<std::vector<int64_t>> values;  // per group column (datetime ticks share the integer's place)
  std::vector<std::vector<uint8_t>> nulls;
  std::vector<int64_t> lows;   // per group column, over its non-NULL values
  std::vector<int64_t> highs;  // (lows > highs: none)
  std::vector<Value> args;     // per row, one per aggregate

  void AddKey(size_t c, const Value& v) {
    nulls[c].push_back(v.is_null ? 1 : 0);
    values[c].push_back(v.is_null ? 0 : v.i);
    if (v.is_null) return;
    lows[c] = std::min(lows[c], v.i);
    highs[c] = std::max(highs[c], v.i);
  }
};

// The packed keys of every row; empty when the columns' ranges need more bits.
std::vector<uint64_t> PackKeys(const GatheredRows& gathered, KeyPacking& packing) {
  if (!packing.Fit(gathered.lows, gathered.highs)) return {};
  const size_t n = gathered.values.size();
  std::vector<uint64_t> packed(gathered.rows, 0);
  for (size_t c = 0; c < n; ++c) {
    for (size_t r = 0; r < gathered.rows; ++r) {
      packed[r] = packing.Push(packed[r], c, gathered.nulls[c][r], gathered.values[c][r]);
    }
  }
  return packed;
}

}  // namespace

bool StreamIntegerRollup(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  const size_t n = plan.groups.size();
  const size_t a = plan.aggregates.size();
  if (!plan.rollup || n == 0) return false;
  for (const auto& group : plan.groups) {
    if (!SortsAsInteger(group->type.id)) return false;
  }
  for (const AggregateCall& call : plan.aggregates) {
    if (call.distinct) return false;
  }

  GatheredRows gathered(n);
  const size_t expected = KnownRowCount(*plan.input);
  for (size_t c = 0; c < n; ++c) {
    ReserveHugePages(gathered.values[c], expected);
    gathered.nulls[c].reserve(expected);
  }
  ReserveHugePages(gathered.args, expected * a);
  auto gather = [&](const Value* values) {
    EvalRow row{values, outer};
    for (size_t c = 0; c < n; ++c) gathered.AddKey(c, Evaluate(*plan.groups[c], row, context));
    for (const AggregateCall& call : plan.aggregates) {
      gathered.args.push_back(call.argument ? Evaluate(*call.argument, row, context) : Value::Integer(TypeId::Int, 1));
    }
    ++gathered.rows;
  };
  StreamPlan(*plan.input, context, outer, gather);
  const size_t rows = gathered.rows;

  std::vector<uint32_t> order(rows);
  std::iota(order.begin(), order.end(), 0u);
  KeyPacking packing;
  std::vector<uint64_t> packed = rows < UINT32_MAX ? PackKeys(gathered, packing) : std::vector<uint64_t>{};
  const bool radix = !packed.empty();
  auto same_key = [&](size_t x, size_t y) {
    for (size_t c = 0; c < n; ++c) {
      if (gathered.nulls[c][x] != gathered.nulls[c][y] || gathered.values[c][x] != gathered.values[c][y]) return false;
    }
    return true;
  };
  if (radix) {
    RadixSort(packed, order, packing.total_bits);
  } else {
    std::stable_sort(order.begin(), order.end(), [&](uint32_t x, uint32_t y) {
      for (size_t c = 0; c < n; ++c) {
        bool null_x = gathered.nulls[c][x];
        bool null_y = gathered.nulls[c][y];
        if (null_x != null_y) return null_x;
        if (gathered.values[c][x] != gathered.values[c][y]) return gathered.values[c][x] < gathered.values[c][y];
      }
      return false;
    });
  }

  RollupWriter writer(plan, sink);
  std::vector<AggregateState> states(a);
  std::vector<Value> key(n);
  constexpr size_t kAhead = 8;  // rows are read out of their gathered order
  for (size_t i = 0; i < rows;) {
    const size_t first = order[i];
    for (size_t c = 0; c < n; ++c) {
      // The packed key holds the values in sorted order: no reading back
      // into the gathered columns, which are in input order.
      std::optional<int64_t> v = radix ? packing.Unpack(packed[i], c)
                                 : gathered.nulls[c][first] ? std::nullopt
                                                            : std::optional<int64_t>(gathered.values[c][first]);
      if (v) {
        key[c].SetInteger(plan.groups[c]->type.id, *v);  // datetime ticks share the integer's place
      } else {
        key[c].SetNull(plan.groups[c]->type.id);
      }
    }
    std::fill(states.begin(), states.end(), AggregateState{});
    size_t j = i;
    do {
      if (j + kAhead < rows) __builtin_prefetch(gathered.args.data() + order[j + kAhead] * a);
      const Value* args = gathered.args.data() + order[j] * a;
      for (size_t k = 0; k < a; ++k) {
        const AggregateCall& call = plan.aggregates[k];
        Accumulate(call.kind, states[k], args[k], call.argument_type, context.arena);
      }
      ++j;
    } while (j < rows && (radix ? packed[j] == packed[i] : same_key(order[j], first)));
    writer.Add(key.data(), states.data());
    i = j;
  }
  writer.Finish();
  return true;
}

}  // namespace orv::engine
