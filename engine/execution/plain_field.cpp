// Plain integers, decimals and dates read without the general conversion.
#include "engine/execution/plain_field.h"

#include "engine/common/decimal.h"
#include "engine/common/temporal.h"

namespace orv::engine {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads up to `digits` digits from `at` onto `value`; how many there were.
size_t Digits(std::string_view text, size_t& at, Int128& value, size_t digits) {
  const size_t start = at;
  while (at < text.size() && IsDigit(text[at]) && at - start < digits) value = value * 10 + (text[at++] - '0');
  return at - start;
}

bool ReadInteger(std::string_view text, TypeId type, Value& out) {
  size_t at = text.starts_with('-') ? 1 : 0;
  Int128 value = 0;
  // 18 digits always fit 64 bits; longer text takes the general way.
  if (Digits(text, at, value, 18) == 0 || at != text.size()) return false;
  if (text[0] == '-') value = -value;
  Int128 low = INT64_MIN;
  Int128 high = INT64_MAX;
  switch (type) {
    case TypeId::TinyInt: low = 0, high = 255; break;
    case TypeId::SmallInt: low = INT16_MIN, high = INT16_MAX; break;
    case TypeId::Int: low = INT32_MIN, high = INT32_MAX; break;
    default: break;
  }
  if (value < low || value > high) return false;
  out = Value::Integer(type, static_cast<int64_t>(value));
  return true;
}

bool ReadDecimal(std::string_view text, const DataType& type, Value& out) {
  const bool negative = text.starts_with('-');
  size_t at = negative ? 1 : 0;
  Int128 value = 0;
  const size_t whole = Digits(text, at, value, static_cast<size_t>(type.precision - type.scale));
  if (whole == 0) return false;
  size_t fraction = 0;
  if (at < text.size() && text[at] == '.') {
    ++at;
    fraction = Digits(text, at, value, type.scale);
    if (fraction == 0) return false;
  }
  if (at != text.size()) return false;
  value *= decimal::Pow10(type.scale - static_cast<int>(fraction));
  out = Value::Decimal(negative ? -value : value, type.precision, type.scale);
  return true;
}

bool ReadDate(std::string_view text, Value& out) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  int parts[3] = {};
  const size_t starts[3] = {0, 5, 8};
  const size_t ends[3] = {4, 7, 10};
  for (size_t p = 0; p < 3; ++p) {
    for (size_t at = starts[p]; at < ends[p]; ++at) {
      if (!IsDigit(text[at])) return false;
      parts[p] = parts[p] * 10 + (text[at] - '0');
    }
  }
  const std::optional<int64_t> day = temporal::DateFromParts(parts[0], parts[1], parts[2]);
  if (!day) return false;
  out = Value::Temporal(TypeId::Date, *day, 0);
  return true;
}

}  // namespace

bool ReadPlainField(std::string_view text, const DataType& type, Value& out) {
  switch (type.id) {
    case TypeId::TinyInt:
    case TypeId::SmallInt:
    case TypeId::Int:
    case TypeId::BigInt:
      return ReadInteger(text, type.id, out);
    case TypeId::Decimal:
      return ReadDecimal(text, type, out);
    case TypeId::Date:
      return ReadDate(text, out);
    default:
      return false;
  }
}

}  // namespace orv::engine
