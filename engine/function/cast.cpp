// CAST and CONVERT between every pair of the engine's types, with SQL Server's
// rounding, truncation and error for each pair. The spellings of numbers in
// text are text_number's; dates in text are datetime's.
#include <cmath>
#include <cstdio>
#include <string>

#include "engine/common/ascii.h"
#include "engine/common/datetime.h"
#include "engine/common/decimal.h"
#include "engine/function/scalar.h"
#include "engine/function/text_number.h"
#include "engine/function/value_util.h"

namespace orv::engine {
namespace {

using detail::kMaxTicks;
using detail::kMinTicks;
using detail::IntegerFits;

[[noreturn]] void ThrowOverflow(TypeId from, TypeId to) {
  Throw(ErrorCode::kArithmeticOverflow, {TypeDisplayName(from), TypeDisplayName(to)});
}

bool IsNonZero(const Value& v) {
  switch (v.type) {
    case TypeId::Decimal:
    case TypeId::Money:
      return v.dec != 0;
    case TypeId::Float:
      return v.f != 0;
    case TypeId::DateTime:
      return v.dt != 0;
    default:
      return v.i != 0;
  }
}

int64_t ToInteger(const Value& v, TypeId target) {
  if (IsString(v.type)) return detail::TextToInteger(v, target);
  if (target == TypeId::Bit) return IsNonZero(v);
  Int128 x = 0;
  switch (v.type) {
    case TypeId::Decimal:
    case TypeId::Money:
      // Money rounds to a whole number, numeric drops its fraction.
      x = v.type == TypeId::Money ? decimal::Rescale(v.dec, v.scale, 0) : decimal::RescaleTruncate(v.dec, v.scale, 0);
      break;
    case TypeId::Float: {
      double t = std::trunc(v.f);
      if (!(std::fabs(t) < 1e19) || !IntegerFits(target, static_cast<Int128>(t))) {
        // A float past an integer range is reported with its value, "%f" style.
        char value[400];
        std::snprintf(value, sizeof value, "%f", v.f);
        Throw(ErrorCode::kFloatOverflowForType, {TypeDisplayName(target), value});
      }
      x = static_cast<Int128>(t);
      break;
    }
    case TypeId::DateTime:
      // A datetime counts days since 1900-01-01, rounded to the nearest day.
      x = (v.dt >= 0 ? v.dt + kTicksPerDay / 2 : v.dt - kTicksPerDay / 2) / kTicksPerDay;
      break;
    default:
      if (IntegerFits(target, v.i)) return v.i;
      if (target == TypeId::TinyInt || target == TypeId::SmallInt) {
        Throw(ErrorCode::kArithmeticOverflowForType, {TypeDisplayName(target), std::to_string(v.i)});
      }
      detail::ThrowExpressionOverflow(target);
  }
  if (!IntegerFits(target, x)) ThrowOverflow(v.type, target);
  return static_cast<int64_t>(x);
}

// The value at `scale` if it fits `precision` digits.
bool RescaleInto(Int128 v, int from, int precision, int scale, Int128& out) {
  if (scale >= from) {
    if (v != 0 && decimal::DigitCount(v) - from > precision - scale) return false;
    out = v * decimal::Pow10(scale - from);
    return true;
  }
  out = decimal::Rescale(v, from, scale);
  return decimal::Fits(out, precision);
}

Value ToDecimal(const Value& v, const DataType& target) {
  // Money is always (19,4), whatever the caller filled in.
  const bool money = target.id == TypeId::Money;
  const int p = money ? 19 : target.precision;
  const int s = money ? 4 : target.scale;
  Int128 out = 0;
  bool fits = true;
  switch (v.type) {
    case TypeId::Bit:
    case TypeId::TinyInt:
    case TypeId::SmallInt:
    case TypeId::Int:
    case TypeId::BigInt:
      fits = RescaleInto(v.i, 0, p, s, out);
      break;
    case TypeId::Decimal:
    case TypeId::Money:
      fits = RescaleInto(v.dec, v.scale, p, s, out);
      break;
    case TypeId::Float:
    case TypeId::DateTime: {
      auto converted = decimal::FromDouble(detail::ToDouble(v), p, s);
      fits = converted.has_value();
      if (fits) out = *converted;
      break;
    }
    default:
      out = detail::TextToDecimal(v, target.id, p, s);
      break;
  }
  if (fits && money) fits = IntegerFits(TypeId::BigInt, out);
  if (!fits) ThrowOverflow(v.type, target.id);
  return Value::Decimal(out, static_cast<uint8_t>(p), static_cast<uint8_t>(s), target.id);
}

double ToFloat(const Value& v) {
  if (IsString(v.type)) return detail::TextToFloat(v);
  return detail::ToDouble(v);
}

// Text in a day-month-year CONVERT style (103, 104, 105 and their two-digit
// forms) rewritten month first, the order datetime::Parse reads.
std::string DayFirstToMonthFirst(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  size_t first = s.find_first_of("/.-");
  if (first == std::string_view::npos) return std::string(text);
  size_t second = s.find_first_of("/.-", first + 1);
  if (second == std::string_view::npos) return std::string(text);
  std::string day(s.substr(0, first));
  std::string month(s.substr(first + 1, second - first - 1));
  return month + "/" + day + "/" + std::string(s.substr(second + 1));
}

// Three groups of digits with one kind of separator ("2024-02-30",
// "13/01/2024") or eight digits: a date in a valid shape, so a failure to
// read it means a part out of range.
bool IsNumericDateShape(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  int groups = 1;
  char separator = 0;
  bool digit_before = false;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      digit_before = true;
    } else if ((c == '-' || c == '/' || c == '.') && digit_before && (separator == 0 || separator == c)) {
      separator = c;
      ++groups;
      digit_before = false;
    } else {
      return false;
    }
  }
  return digit_before && (groups == 3 || (groups == 1 && s.size() == 8));
}

int64_t ToDateTime(const Value& v, int style) {
  if (IsString(v.type)) {
    int base = style % 100;
    bool day_first = style >= 0 && (base == 3 || base == 4 || base == 5);
    auto ticks = day_first ? datetime::Parse(DayFirstToMonthFirst(v.s())) : datetime::Parse(v.s());
    if (ticks) return *ticks;
    if (IsNumericDateShape(v.s())) Throw(ErrorCode::kDateOutOfRange, {TypeDisplayName(v.type), "datetime"});
    Throw(ErrorCode::kDateConversionFailed);
  }
  if (v.type == TypeId::DateTime) return v.dt;
  double ticks = IsInteger(v.type) ? static_cast<double>(v.i) * kTicksPerDay
                                   : std::round(detail::ToDouble(v) * kTicksPerDay);
  if (!(ticks >= kMinTicks && ticks <= kMaxTicks)) detail::ThrowExpressionOverflow(TypeId::DateTime);
  return static_cast<int64_t>(ticks);
}

// A number whose text does not fit the target: integers become "*" in
// char/varchar, everything else is an error.
std::string TooLongNumber(const Value& v, const DataType& target) {
  if (IsInteger(v.type) && !IsUnicode(target.id)) return "*";
  if (IsInteger(v.type)) detail::ThrowExpressionOverflow(target.id);
  ThrowOverflow(v.type, target.id);
}

std::string NumberText(const Value& v, int style) {
  switch (v.type) {
    case TypeId::Decimal:
      return decimal::ToString(v.dec, v.scale);
    case TypeId::Money:
      return detail::MoneyToText(v.dec, style);
    case TypeId::Float:
      return detail::FloatToText(v.f, style);
    default:
      return std::to_string(v.i);
  }
}

Value ToText(const Value& v, const DataType& target, StringArena& arena, int style) {
  if (IsString(v.type)) return Value::String(target.id, detail::FitText(v.s(), target, arena));
  std::string text;
  if (v.type == TypeId::DateTime) {
    auto formatted = datetime::Format(v.dt, style);
    if (!formatted) Throw(ErrorCode::kInvalidStyle, {std::to_string(style), "datetime"});
    text = std::move(*formatted);
  } else {
    text = NumberText(v, style);
    if (target.length > 0 && TextLength(target.id, text) > target.length) {
      text = TooLongNumber(v, target);
    }
  }
  return Value::String(target.id, detail::FitText(arena.Copy(text), target, arena));
}

}  // namespace

Value CastValue(const Value& value, const DataType& target, StringArena& arena, int style) {
  if (value.is_null) return Value::Null(target.id);
  switch (target.id) {
    case TypeId::Null:
      return value;
    case TypeId::Bit:
    case TypeId::TinyInt:
    case TypeId::SmallInt:
    case TypeId::Int:
    case TypeId::BigInt:
      return Value::Integer(target.id, ToInteger(value, target.id));
    case TypeId::Decimal:
    case TypeId::Money:
      return ToDecimal(value, target);
    case TypeId::Float:
      return Value::Double(ToFloat(value));
    case TypeId::DateTime:
      return Value::DateTime(ToDateTime(value, style));
    case TypeId::Char:
    case TypeId::VarChar:
    case TypeId::NChar:
    case TypeId::NVarChar:
      return ToText(value, target, arena, style);
  }
  Throw(ErrorCode::kInternal, {"unknown target type"});
}

}  // namespace orv::engine
