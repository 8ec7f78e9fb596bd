// Reading numbers from text and writing float and money as text, with the
// spellings SQL Server's conversions accept and produce.
#include "engine/function/text_number.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/common/ascii.h"
#include "engine/common/decimal.h"
#include "engine/common/errors.h"
#include "engine/function/scalar.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {


// Drops one leading currency sign ($, ¥ in its two widths, £, €).
std::string_view SkipCurrency(std::string_view s) {
  static constexpr std::string_view kSigns[] = {"$", "\xC2\xA5", "\xEF\xBF\xA5", "\xC2\xA3", "\xE2\x82\xAC"};
  for (std::string_view sign : kSigns) {
    if (s.substr(0, sign.size()) == sign) return s.substr(sign.size());
  }
  return s;
}

// A plain float spelling: digits, optional point, optional exponent (e or E,
// and SQL Server's d/D when `allow_d`); at least one digit before the exponent.
bool IsFloatSpelling(std::string_view s, bool allow_d) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i == s.size()) return true;
  char e = AsciiLower(s[i]);
  if (e != 'e' && !(allow_d && e == 'd')) return false;
  ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  return i < s.size() && AllDigits(s.substr(i));
}

[[noreturn]] void ThrowTextOverflow(const Value& text, TypeId target) {
  std::string_view type_name = TypeDisplayName(text.type);
  if (target == TypeId::TinyInt || target == TypeId::SmallInt) {
    Throw(ErrorCode::kSmallIntegerTextOverflow, {type_name, text.s(), target == TypeId::TinyInt ? "INT1" : "INT2"});
  }
  if (target == TypeId::Int) Throw(ErrorCode::kIntTextOverflow, {type_name, text.s()});
  Throw(ErrorCode::kErrorConvertingDataType, {type_name, TypeDisplayName(target)});
}

}  // namespace

int64_t TextToInteger(const Value& text, TypeId target) {
  std::string_view s = TrimBlanks(text.s());
  if (target == TypeId::Bit) {
    if (EqualsIgnoreCase(s, "true")) return 1;
    if (EqualsIgnoreCase(s, "false")) return 0;
  }
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  // '', '+' and '-' read as 0 for the integer types.
  if (!AllDigits(s)) ThrowConversionFailed(text, target);
  size_t first = s.find_first_not_of('0');
  s = first == std::string_view::npos ? std::string_view{} : s.substr(first);
  if (s.size() > 19) {
    if (target == TypeId::Bit) return 1;
    ThrowTextOverflow(text, target);
  }
  Int128 x = 0;
  for (char c : s) x = x * 10 + (c - '0');
  if (negative) x = -x;
  if (target == TypeId::Bit) return x != 0;
  if (!IntegerFits(target, x)) ThrowTextOverflow(text, target);
  return static_cast<int64_t>(x);
}

Int128 TextToDecimal(const Value& text, TypeId target, int precision, int scale) {
  std::string_view s = TrimBlanks(text.s());
  std::string cleaned;
  if (target == TypeId::Money) {
    bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    s = SkipCurrency(s);
    if (negative) cleaned += '-';
    for (char c : s) {
      if (c != ',') cleaned += c;
    }
    if (cleaned.empty() || cleaned == "-") return 0;
  } else {
    cleaned = s;
  }
  auto parsed = decimal::Parse(cleaned);
  if (!parsed) {
    if (target == TypeId::Money) Throw(ErrorCode::kMoneySyntax);
    Throw(ErrorCode::kErrorConvertingDataType, {TypeDisplayName(text.type), TypeDisplayName(target)});
  }
  int integral_digits = decimal::DigitCount(parsed->value) - parsed->scale;
  Int128 result = 0;
  bool fits = parsed->value == 0 || integral_digits <= precision - scale;
  if (fits) {
    result = decimal::Rescale(parsed->value, parsed->scale, scale);
    fits = decimal::Fits(result, precision) && (target != TypeId::Money || IntegerFits(TypeId::BigInt, result));
  }
  if (!fits) Throw(ErrorCode::kArithmeticOverflow, {TypeDisplayName(text.type), TypeDisplayName(target)});
  return result;
}

double TextToFloat(const Value& text) {
  std::string_view s = TrimBlanks(text.s());
  if (s.empty()) return 0;
  double d = IsFloatSpelling(s, false) ? std::strtod(std::string(s).c_str(), nullptr) : HUGE_VAL;
  // Past the float range is as wrong as no number at all.
  if (!std::isfinite(d)) Throw(ErrorCode::kErrorConvertingDataType, {TypeDisplayName(text.type), "float"});
  return d;
}

bool LooksNumeric(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  if (s.empty()) return false;
  if (s[0] == '+' || s[0] == '-') s.remove_prefix(1);
  s = SkipCurrency(s);
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
  // A sign or a currency sign alone counts as money, and so does '.'.
  if (s.empty() || s == ".") return true;
  if (IsFloatSpelling(s, true)) return true;
  // Money also takes thousands separators in the integral part.
  std::string without_commas;
  for (char c : s) {
    if (c != ',') without_commas += c;
  }
  return !without_commas.empty() && s[0] != ',' && decimal::Parse(without_commas).has_value();
}

std::string FloatToText(double d, int style) {
  char buffer[64];
  switch (style) {
    case 1:
      std::snprintf(buffer, sizeof buffer, "%.7e", d);
      break;
    case 2:
      std::snprintf(buffer, sizeof buffer, "%.15e", d);
      break;
    case 3:
      std::snprintf(buffer, sizeof buffer, "%.16e", d);
      break;
    default:
      std::snprintf(buffer, sizeof buffer, "%.6g", d);
      break;
  }
  std::string text = buffer;
  // SQL Server writes the exponent with three digits: e+006.
  size_t e = text.find('e');
  if (e != std::string::npos && e + 2 < text.size()) {
    std::string digits = text.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    text = text.substr(0, e + 2) + digits;
  }
  return text;
}

std::string MoneyToText(Int128 unscaled, int style) {
  if (style == 2) return decimal::ToString(unscaled, 4);
  std::string text = decimal::ToString(decimal::Rescale(unscaled, 4, 2), 2);
  if (style != 1) return text;
  size_t begin = text[0] == '-' ? 1 : 0;
  size_t point = text.find('.');
  for (size_t i = point; i > begin + 3; i -= 3) text.insert(i - 3, ",");
  return text;
}

}  // namespace orv::engine::detail
