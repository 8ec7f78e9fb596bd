// The generator's own pseudo-random numbers: SplitMix64, fixed for all time, so
// that one seed gives the same data on every machine and library version
// (the standard distributions are free to differ between implementations).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace orv::demo {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // Uniform in [low, high], both included; low <= high.
  int64_t Between(int64_t low, int64_t high) {
    const uint64_t span = static_cast<uint64_t>(high - low) + 1;
    return low + static_cast<int64_t>(Next() % span);
  }

  // True with the given chance in percent.
  bool Percent(int chance) { return static_cast<int>(Next() % 100) < chance; }

  template <typename T>
  const T& Pick(const std::vector<T>& values) {
    return values[static_cast<size_t>(Between(0, static_cast<int64_t>(values.size()) - 1))];
  }

 private:
  uint64_t state_;
};

}  // namespace orv::demo
