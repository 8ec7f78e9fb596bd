// Exact decimal arithmetic. Every operation works on sign and magnitude with a
// 256-bit intermediate, so aligning scales or multiplying two 38-digit values
// never wraps; the result is then brought to the result scale and checked
// against the result precision (nullopt: the caller raises 8115).
#include "engine/common/decimal.h"

#include <algorithm>
#include <cmath>

#include "engine/common/decimal_wide.h"
#include "engine/common/errors.h"

namespace orv::engine::decimal {
namespace {

// Scale never drops below this when a result type is cut back to 38 digits,
// unless the operation itself asked for less.
constexpr int kMinAdjustedScale = 6;

struct Wide {
  bool negative = false;
  U256 magnitude;
};

U128 Magnitude(Int128 v) { return v < 0 ? U128(0) - static_cast<U128>(v) : static_cast<U128>(v); }

Wide ToWide(Int128 v) { return Wide{v < 0, U256::From(Magnitude(v))}; }

void CheckScale(int scale) {
  if (scale < 0 || scale > kMaxPrecision) Throw(ErrorCode::kInternal, {"decimal scale out of range"});
}

// Divides by 10^digits; `round` rounds the magnitude half up (so the signed
// value half away from zero), otherwise the digits are dropped.
U256 DropDigits(const U256& magnitude, int digits, bool round) {
  if (digits <= 0) return magnitude;
  bool overflow = false;
  U256 divisor = MulPow10(U256::From(1), digits, &overflow);
  U256 quotient, remainder;
  DivMod(magnitude, divisor, &quotient, &remainder);
  if (round) {
    bool carry = false;
    U256 twice = Add(remainder, remainder, &carry);
    if (divisor <= twice) quotient = Add(quotient, U256::From(1), &carry);
  }
  return quotient;
}

// Brings `w` from scale `from` to `to` and checks it against `precision`.
std::optional<Int128> Finish(const Wide& w, int from, int to, int precision, bool round) {
  U256 magnitude = w.magnitude;
  if (to < from) {
    magnitude = DropDigits(magnitude, from - to, round);
  } else if (to > from) {
    bool overflow = false;
    magnitude = MulPow10(magnitude, to - from, &overflow);
    if (overflow) return std::nullopt;
  }
  if (!magnitude.FitsU128() || magnitude.lo >= static_cast<U128>(Pow10(precision))) return std::nullopt;
  Int128 v = static_cast<Int128>(magnitude.lo);
  return w.negative ? -v : v;
}

// Both magnitudes at the larger of the two scales (at most 10^76, well inside 256 bits).
void Align(Int128 a, int scale_a, Int128 b, int scale_b, Wide* wa, Wide* wb) {
  bool overflow = false;
  *wa = ToWide(a);
  *wb = ToWide(b);
  if (scale_a < scale_b) wa->magnitude = MulPow10(wa->magnitude, scale_b - scale_a, &overflow);
  if (scale_b < scale_a) wb->magnitude = MulPow10(wb->magnitude, scale_a - scale_b, &overflow);
}

// a + b on sign and magnitude.
Wide SignedAdd(const Wide& a, const Wide& b) {
  bool carry = false;
  if (a.negative == b.negative) return Wide{a.negative, Add(a.magnitude, b.magnitude, &carry)};
  if (b.magnitude <= a.magnitude) return Wide{a.negative, Sub(a.magnitude, b.magnitude)};
  return Wide{b.negative, Sub(b.magnitude, a.magnitude)};
}

std::optional<Int128> AddSigned(Int128 a, int scale_a, Int128 b, int scale_b, Type result) {
  CheckScale(scale_a);
  CheckScale(scale_b);
  Wide wa, wb;
  Align(a, scale_a, b, scale_b, &wa, &wb);
  Wide sum = SignedAdd(wa, wb);
  if (sum.magnitude.IsZero()) sum.negative = false;
  return Finish(sum, std::max(scale_a, scale_b), result.scale, result.precision, true);
}

// When the exact type needs more than 38 digits the precision is capped and
// the scale gives way to the integral part, but never below 6 digits (or the
// exact scale, when that is already smaller).
Type Reduce(int precision, int scale) {
  if (precision <= kMaxPrecision) return Type{precision, scale};
  int integral = precision - scale;
  int reduced = std::max(std::min(scale, kMaxPrecision - integral), std::min(scale, kMinAdjustedScale));
  return Type{kMaxPrecision, reduced};
}

}  // namespace

Type AddType(Type a, Type b) {
  int scale = std::max(a.scale, b.scale);
  int integral = std::max(a.precision - a.scale, b.precision - b.scale);
  return Reduce(scale + integral + 1, scale);
}

Type MultiplyType(Type a, Type b) { return Reduce(a.precision + b.precision + 1, a.scale + b.scale); }

Type DivideType(Type a, Type b) {
  int scale = std::max(kMinAdjustedScale, a.scale + b.precision + 1);
  return Reduce(a.precision - a.scale + b.scale + scale, scale);
}

Type ModuloType(Type a, Type b) {
  int scale = std::max(a.scale, b.scale);
  return Reduce(std::min(a.precision - a.scale, b.precision - b.scale) + scale, scale);
}

Type SumType(Type a) { return Type{kMaxPrecision, a.scale}; }
Type AvgType(Type a) { return Type{kMaxPrecision, std::max(a.scale, kMinAdjustedScale)}; }

Int128 Pow10(int n) {
  static const auto kTable = [] {
    struct Table {
      Int128 v[kMaxPrecision + 1];
    } t{};
    t.v[0] = 1;
    for (int i = 1; i <= kMaxPrecision; ++i) t.v[i] = t.v[i - 1] * 10;
    return t;
  }();
  if (n < 0 || n > kMaxPrecision) Throw(ErrorCode::kInternal, {"power of ten out of range"});
  return kTable.v[n];
}

int DigitCount(Int128 v) {
  U128 m = Magnitude(v);
  int digits = 1;
  while (digits <= kMaxPrecision && m >= static_cast<U128>(Pow10(digits))) ++digits;
  return digits;
}

bool Fits(Int128 v, int precision) { return Magnitude(v) < static_cast<U128>(Pow10(precision)); }

std::optional<Int128> TryRescale(Int128 v, int from, int to, int precision) {
  CheckScale(from);
  CheckScale(to);
  return Finish(ToWide(v), from, to, precision, true);
}

Int128 Rescale(Int128 v, int from, int to) {
  if (from == to && FitsMaxPrecision(v)) return v;
  std::optional<Int128> r = TryRescale(v, from, to, kMaxPrecision);
  if (!r) Throw(ErrorCode::kArithmeticOverflow, {"expression", "numeric"});
  return *r;
}

Int128 RescaleTruncate(Int128 v, int from, int to) {
  CheckScale(from);
  CheckScale(to);
  std::optional<Int128> r = Finish(ToWide(v), from, to, kMaxPrecision, false);
  if (!r) Throw(ErrorCode::kArithmeticOverflow, {"expression", "numeric"});
  return *r;
}

std::optional<Int128> Add(Int128 a, int scale_a, Int128 b, int scale_b, Type result) {
  return AddSigned(a, scale_a, b, scale_b, result);
}

std::optional<Int128> Subtract(Int128 a, int scale_a, Int128 b, int scale_b, Type result) {
  // -b cannot wrap: a decimal has at most 38 digits.
  return AddSigned(a, scale_a, -b, scale_b, result);
}

std::optional<Int128> Multiply(Int128 a, int scale_a, Int128 b, int scale_b, Type result) {
  CheckScale(scale_a);
  CheckScale(scale_b);
  Wide product{(a < 0) != (b < 0), Mul(Magnitude(a), Magnitude(b))};
  if (product.magnitude.IsZero()) product.negative = false;
  return Finish(product, scale_a + scale_b, result.scale, result.precision, true);
}

std::optional<Int128> Divide(Int128 a, int scale_a, Int128 b, int scale_b, Type result) {
  CheckScale(scale_a);
  CheckScale(scale_b);
  if (b == 0) Throw(ErrorCode::kDivideByZero);
  // quotient = a * 10^(result.scale + scale_b - scale_a) / b, the power of ten
  // going to the divisor when it is negative.
  int shift = result.scale + scale_b - scale_a;
  bool overflow = false;
  U256 numerator = MulPow10(U256::From(Magnitude(a)), std::max(shift, 0), &overflow);
  // A numerator past 256 bits over a divisor below 10^38 cannot give a 38-digit quotient.
  if (overflow) return std::nullopt;
  U256 denominator = MulPow10(U256::From(Magnitude(b)), std::max(-shift, 0), &overflow);
  U256 quotient, remainder;
  DivMod(numerator, denominator, &quotient, &remainder);
  Wide w{(a < 0) != (b < 0) && !quotient.IsZero(), quotient};
  return Finish(w, result.scale, result.scale, result.precision, false);
}

std::optional<Int128> Modulo(Int128 a, int scale_a, Int128 b, int scale_b, Type result) {
  CheckScale(scale_a);
  CheckScale(scale_b);
  if (b == 0) Throw(ErrorCode::kDivideByZero);
  Wide wa, wb;
  Align(a, scale_a, b, scale_b, &wa, &wb);
  U256 quotient, remainder;
  DivMod(wa.magnitude, wb.magnitude, &quotient, &remainder);
  // The remainder takes the sign of the dividend.
  Wide w{a < 0 && !remainder.IsZero(), remainder};
  return Finish(w, std::max(scale_a, scale_b), result.scale, result.precision, true);
}

int Compare(Int128 a, int scale_a, Int128 b, int scale_b) {
  CheckScale(scale_a);
  CheckScale(scale_b);
  if ((a < 0) != (b < 0)) return a < 0 ? -1 : 1;
  Wide wa, wb;
  Align(a, scale_a, b, scale_b, &wa, &wb);
  if (wa.magnitude == wb.magnitude) return 0;
  bool less = wa.magnitude < wb.magnitude;
  if (a < 0) less = !less;
  return less ? -1 : 1;
}

double ToDouble(Int128 v, int scale) {
  CheckScale(scale);
  return static_cast<double>(static_cast<long double>(v) / powl(10.0L, scale));
}

std::optional<Int128> FromDouble(double d, int precision, int scale) {
  CheckScale(scale);
  if (!std::isfinite(d)) return std::nullopt;
  // long double keeps 64 bits of mantissa, so the scaled double is exact
  // enough that only true halves round away from zero.
  long double scaled = roundl(static_cast<long double>(d) * powl(10.0L, scale));
  if (fabsl(scaled) >= powl(10.0L, precision)) return std::nullopt;
  Int128 v = static_cast<Int128>(scaled);
  if (!Fits(v, precision)) return std::nullopt;
  return v;
}

}  // namespace orv::engine::decimal
