// Exact decimal arithmetic on 128-bit scaled integers with SQL Server's rules
// for the precision and scale of results (capped at 38). A decimal is the
// unscaled integer plus its precision and scale, as in Value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/common/value.h"

namespace orv::engine::decimal {

inline constexpr int kMaxPrecision = 38;

struct Type {
  int precision;
  int scale;
};

// Result types of + - * / and % (SQL Server's "Precision, scale, and length"
// rules, including the reduction of the scale when the precision passes 38).
Type AddType(Type a, Type b);
Type MultiplyType(Type a, Type b);
Type DivideType(Type a, Type b);
Type ModuloType(Type a, Type b);
// SUM of decimal(p,s) is decimal(38,s); AVG is decimal(38, max(s,6)).
Type SumType(Type a);
Type AvgType(Type a);

// 10^n for 0 <= n <= 38.
Int128 Pow10(int n);
// The largest unscaled value of 38 digits, 10^38 - 1.
inline constexpr Int128 kMaxUnscaled = [] {
  Int128 v = 1;
  for (int i = 0; i < kMaxPrecision; ++i) v *= 10;
  return v - 1;
}();
// Whether `v` holds at most 38 digits: what every running sum checks, so inline.
inline bool FitsMaxPrecision(Int128 v) { return v >= -kMaxUnscaled && v <= kMaxUnscaled; }
// Number of decimal digits of |v| (0 has one digit).
int DigitCount(Int128 v);

// Moves `v` from scale `from` to scale `to`; a smaller scale rounds half away
// from zero (SQL Server's rounding on conversion). Throws SqlError 8115 when
// a larger scale pushes the value past 38 digits.
Int128 Rescale(Int128 v, int from, int to);
// Same but dropping the digits instead (CAST of a decimal to an integer type).
Int128 RescaleTruncate(Int128 v, int from, int to);
// Rescale that reports a result of more than `precision` digits as nullopt
// (conversion to a narrower decimal type: the caller raises 8115).
std::optional<Int128> TryRescale(Int128 v, int from, int to, int precision);

// The arithmetic itself: operands with their scales, result at `result.scale`.
// Each returns nullopt on overflow of `result.precision` (the caller raises
// 8115); Divide and Modulo throw SqlError 8134 on a zero divisor. Add,
// Subtract, Multiply and Modulo round half away from zero when the result
// scale is smaller than the exact one; Divide truncates its quotient at the
// result scale, as SQL Server does (2.0/3 gives 0.666666).
std::optional<Int128> Add(Int128 a, int scale_a, Int128 b, int scale_b, Type result);
std::optional<Int128> Subtract(Int128 a, int scale_a, Int128 b, int scale_b, Type result);
std::optional<Int128> Multiply(Int128 a, int scale_a, Int128 b, int scale_b, Type result);
std::optional<Int128> Divide(Int128 a, int scale_a, Int128 b, int scale_b, Type result);
std::optional<Int128> Modulo(Int128 a, int scale_a, Int128 b, int scale_b, Type result);

// -1, 0, 1 comparing two decimals of any scales.
int Compare(Int128 a, int scale_a, Int128 b, int scale_b);

// True when `v` fits in `precision` digits.
bool Fits(Int128 v, int precision);

// Text as SQL Server writes a decimal: "-12.3400" with exactly `scale` digits
// after the point, "0.50" (leading zero kept), no exponent.
std::string ToString(Int128 v, int scale);

// Parses "  -12.34 ", "+5", ".5", "5." into an unscaled value with its own
// precision/scale (the scale is the number of digits after the point).
// Returns nullopt on anything that is not a plain decimal number (no exponent).
struct Parsed {
  Int128 value;
  int precision;
  int scale;
};
std::optional<Parsed> Parse(std::string_view text);

double ToDouble(Int128 v, int scale);
// Nearest decimal at `scale`; nullopt when it does not fit in `precision`.
std::optional<Int128> FromDouble(double d, int precision, int scale);

}  // namespace orv::engine::decimal
