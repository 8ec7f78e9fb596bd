#include "engine/execution/key_packing.h"

#include <bit>
#include <utility>

namespace orv::engine {

bool KeyPacking::Fit(const std::vector<int64_t>& lows, const std::vector<int64_t>& highs) {
  const size_t n = lows.size();
  mins.assign(n, 0);
  bits.assign(n, 0);
  total_bits = 0;
  for (size_t c = 0; c < n; ++c) {
    const bool any = lows[c] <= highs[c];
    const int64_t low = any ? lows[c] : 0;
    const int64_t high = any ? highs[c] : 0;
    const uint64_t range = static_cast<uint64_t>(high) - static_cast<uint64_t>(low);
    if (range >= UINT64_MAX - 1) return false;
    mins[c] = static_cast<uint64_t>(low);
    bits[c] = std::bit_width(range + 1);
    total_bits += bits[c];
  }
  if (total_bits > 64) return false;
  shifts.assign(n, 0);
  for (size_t c = n; c-- > 1;) shifts[c - 1] = shifts[c] + bits[c];
  return true;
}

// As few passes of at most 12 bits as cover the bits, so the counters stay
// in the first-level cache, and the counts of every pass taken in one read
// of the keys.
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

}  // namespace orv::engine
