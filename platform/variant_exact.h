// Exact numbers behind the integer, currency and decimal automation values:
// an unscaled 128-bit integer and a scale. Used where the runtime keeps them
// exact: rounding to Integer/Long and comparing two exact values.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/variant.h"

namespace orv::platform {

// The largest scale a Decimal value may carry (that of the database's decimals).
inline constexpr int kMaxDecimalScale = 38;

struct Exact {
  __int128 unscaled = 0;
  int scale = 0;
};

// The exact value of Empty, Integer, Long, Boolean, Currency and Decimal; nullopt otherwise.
std::optional<Exact> AsExact(const Variant& value);
double ExactToDouble(const Exact& value);
// Rounded half to even; 6 (overflow) outside [low, high].
int64_t ExactRoundToRange(const Exact& value, int64_t low, int64_t high);
// -1, 0 or 1.
int CompareExact(const Exact& a, const Exact& b);

}  // namespace orv::platform
