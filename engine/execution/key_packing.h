// Integer group keys packed into one 64-bit number whose order is the
// grouping order: column 0 highest, each column's code 0 for NULL (first)
// and value - min + 1 otherwise. Grouping and rollup sorting then work on
// one integer a row.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

namespace orv::engine {

struct KeyPacking {
  std::vector<uint64_t> mins;
  std::vector<int> bits;
  std::vector<int> shifts;  // per column, the bits of the columns after it
  int total_bits = 0;

  // Sizes the codes for columns whose non-NULL values lie in [lows[c],
  // highs[c]] (lows > highs: none). False when they need more than 64 bits.
  bool Fit(const std::vector<int64_t>& lows, const std::vector<int64_t>& highs);
  // Appends column c's code for a value (ignored when null) below `packed`.
  uint64_t Push(uint64_t packed, size_t c, bool null, int64_t value) const {
    const uint64_t code = null ? 0 : static_cast<uint64_t>(value) - mins[c] + 1;
    return bits[c] == 64 ? code : (packed << bits[c]) | code;
  }
  // Column c's value in a packed key, or nullopt for NULL.
  std::optional<int64_t> Unpack(uint64_t packed, size_t c) const {
    const uint64_t code = bits[c] == 64 ? packed : (packed >> shifts[c]) & ((uint64_t{1} << bits[c]) - 1);
    if (code == 0) return std::nullopt;
    return static_cast<int64_t>(code - 1 + mins[c]);
  }
  // The first column whose codes in two different packed keys differ.
  size_t FirstDifferent(uint64_t a, uint64_t b) const {
    const int highest = 63 - std::countl_zero(a ^ b);
    size_t c = 0;
    while (highest < shifts[c]) ++c;
    return c;
  }
};

// Stable least-significant-digit radix sort of `keys` (their low `bits`
// bits), carrying `order` along.
void RadixSort(std::vector<uint64_t>& keys, std::vector<uint32_t>& order, int bits);

}  // namespace orv::engine
