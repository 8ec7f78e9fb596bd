// Exact arithmetic on the runtime's integer, currency and decimal values.
#include "platform/variant_exact.h"

#include "platform/automation_error.h"

namespace orv::platform {
namespace {

__int128 Pow10(int n) {
  __int128 result = 1;
  for (int i = 0; i < n; ++i) result *= 10;
  return result;
}

}  // namespace

std::optional<Exact> AsExact(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
      return Exact{};
    case VarType::Integer:
    case VarType::Long:
      return Exact{static_cast<int64_t>(value.ToDouble()), 0};  // a 32-bit integer is exact as a double
    case VarType::Boolean:
      return Exact{value.ToBool() ? -1 : 0, 0};
    case VarType::Currency:
      return Exact{value.currency(), 4};
    case VarType::Decimal:
      return Exact{value.decimal_unscaled(), value.decimal_scale()};
    default:
      return std::nullopt;
  }
}

double ExactToDouble(const Exact& value) {
  return static_cast<double>(static_cast<long double>(value.unscaled) / static_cast<long double>(Pow10(value.scale)));
}

int64_t ExactRoundToRange(const Exact& value, int64_t low, int64_t high) {
  const __int128 divisor = Pow10(value.scale);
  __int128 quotient = value.unscaled / divisor;
  const __int128 remainder = value.unscaled % divisor;  // same sign as the value
  // Unsigned: twice a remainder of scale 38 passes the signed range.
  const auto twice = static_cast<unsigned __int128>(remainder < 0 ? -remainder : remainder) * 2;
  const auto half_point = static_cast<unsigned __int128>(divisor);
  if (twice > half_point || (twice == half_point && quotient % 2 != 0)) quotient += value.unscaled < 0 ? -1 : 1;
  if (quotient < low || quotient > high) RaiseRuntimeError(kErrOverflow);
  return static_cast<int64_t>(quotient);
}

int CompareExact(const Exact& a, const Exact& b) {
  // Integer parts first, then the fractions at a common scale: scaling a whole
  // value up could overflow, a fraction (below 10^scale) cannot.
  const __int128 a_int = a.unscaled / Pow10(a.scale);
  const __int128 b_int = b.unscaled / Pow10(b.scale);
  if (a_int != b_int) return a_int < b_int ? -1 : 1;
  const int scale = a.scale > b.scale ? a.scale : b.scale;
  const __int128 a_frac = (a.unscaled % Pow10(a.scale)) * Pow10(scale - a.scale);
  const __int128 b_frac = (b.unscaled % Pow10(b.scale)) * Pow10(scale - b.scale);
  return a_frac == b_frac ? 0 : (a_frac < b_frac ? -1 : 1);
}

}  // namespace orv::platform
