// ROLLUP over integer keys by sorting rather than hashing: every row's keys
// and arguments are gathered column by column, the rows sorted on their keys
// (a radix sort of one packed 64-bit key when the keys' ranges fit in it, a
// stable comparison sort otherwise) and each run of equal keys accumulated
// into one group for the RollupWriter. Rows of equal keys keep their input
// order, as the hashed path accumulates them.
#include <algorithm>
#include <bit>
#include <numeric>
#include <optional>
#include <utility>

#include "engine/execution/evaluate.h"
#include "engine/execution/rollup.h"
#include "engine/storage/huge_pages.h"

namespace orv::engine {
namespace {

bool IsIntegerKey(TypeId id) { return IsInteger(id) || id == TypeId::DateTime; }

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

// How each row's keys pack into 64 bits, column 0 highest: code 0 for NULL
// (first), value - min + 1 otherwise.
struct KeyPacking {
  std::vector<uint64_t> mins;
  std::vector<int> bits;
  int total_bits = 0;

  // Column c's value in a packed key, or nullopt for NULL.
  std::optional<int64_t> Unpack(uint64_t packed, size_t c) const {
    int below = 0;
    for (size_t d = c + 1; d < bits.size(); ++d) below += bits[d];
    uint64_t code = bits[c] == 64 ? packed : (packed >> below) & ((uint64_t{1} << bits[c]) - 1);
    if (code == 0) return std::nullopt;
    return static_cast<int64_t>(code - 1 + mins[c]);
  }
};

// The packed keys of every row; empty when the columns' ranges need more bits.
std::vector<uint64_t> PackKeys(const GatheredRows& gathered, KeyPacking& packing) {
  const size_t n = gathered.values.size();
  std::vector<uint64_t>& mins = packing.mins;
  std::vector<int>& bits = packing.bits;
  int& total_bits = packing.total_bits;
  mins.assign(n, 0);
  bits.assign(n, 0);
  total_bits = 0;
  for (size_t c = 0; c < n; ++c) {
    const bool any = gathered.lows[c] <= gathered.highs[c];
    const int64_t low = any ? gathered.lows[c] : 0;
    const int64_t high = any ? gathered.highs[c] : 0;
    uint64_t range = static_cast<uint64_t>(high) - static_cast<uint64_t>(low);
    if (range >= UINT64_MAX - 1) return {};
    mins[c] = static_cast<uint64_t>(low);
    bits[c] = std::bit_width(range + 1);
    total_bits += bits[c];
  }
  if (total_bits > 64) return {};
  std::vector<uint64_t> packed(gathered.rows, 0);
  for (size_t c = 0; c < n; ++c) {
    for (size_t r = 0; r < gathered.rows; ++r) {
      uint64_t code = gathered.nulls[c][r] ? 0 : static_cast<uint64_t>(gathered.values[c][r]) - mins[c] + 1;
      packed[r] = bits[c] == 64 ? code : (packed[r] << bits[c]) | code;
    }
  }
  return packed;
}

// Stable least-significant-digit radix sort of `keys` (their low `bits`
// bits), carrying `order` along: as few passes of at most 12 bits as cover
// the bits, so the counters stay in the first-level cache, and the counts of
// every pass taken in one read of the keys.
void RadixSort(std::vector<uint64_t>& keys, std::vector<uint32_t>& order, int bits) {
  constexpr int kMaxDigit = 12;
  const int passes = (bits + kMaxDigit - 1) / kMaxDigit;
  if (passes == 0) return;
  const int digit = (bits + passes - 1) / passes;
  const uint64_t mask = (uint64_t{1} << digit) - 1;
  const size_t buckets = size_t{1} << digit;
  std::vector<uint32_t> counts(static_cast<size_t>(passes) * buckets);
  for (uint64_t key : keys) {
    for (int pass = 0; pass < passes; ++pass) ++counts[pass * buckets + ((key >> (pass * digit)) & mask)];
  }
  std::vector<uint64_t> keys_out(keys.size());
  std::vector<uint32_t> order_out(order.size());
  for (int pass = 0; pass < passes; ++pass) {
    uint32_t* starts = &counts[pass * buckets];
    uint32_t start = 0;
    for (size_t b = 0; b < buckets; ++b) start += std::exchange(starts[b], start);
    const int shift = pass * digit;
    for (size_t i = 0; i < keys.size(); ++i) {
      uint32_t at = starts[(keys[i] >> shift) & mask]++;
      keys_out[at] = keys[i];
      order_out[at] = order[i];
    }
    keys.swap(keys_out);
    order.swap(order_out);
  }
}

}  // namespace

bool StreamIntegerRollup(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  const size_t n = plan.groups.size();
  const size_t a = plan.aggregates.size();
  if (!plan.rollup || n == 0) return false;
  for (const auto& group : plan.groups) {
    if (!IsIntegerKey(group->type.id)) return false;
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
