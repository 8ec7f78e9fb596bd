// Decimal to and from text: the way SQL Server writes a decimal ("-12.3400",
// "0.50", never an exponent) and the plain numbers CAST accepts from a
// string (blanks around, optional sign, digits with at most one point).
#include <algorithm>

#include "engine/common/ascii.h"
#include "engine/common/decimal.h"

namespace orv::engine::decimal {

std::string ToString(Int128 v, int scale) {
  using U128 = unsigned __int128;
  U128 m = v < 0 ? U128(0) - static_cast<U128>(v) : static_cast<U128>(v);
  std::string digits;
  do {
    digits.push_back(static_cast<char>('0' + static_cast<int>(m % 10)));
    m /= 10;
  } while (m != 0);
  // A leading zero before the point: "0.50", not ".50".
  while (static_cast<int>(digits.size()) < scale + 1) digits.push_back('0');
  std::reverse(digits.begin(), digits.end());
  if (scale > 0) digits.insert(digits.end() - scale, '.');
  if (v < 0) digits.insert(digits.begin(), '-');
  return digits;
}

std::optional<Parsed> Parse(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  std::string_view t = text.substr(begin, end - begin);

  bool negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  size_t point = t.find('.');
  std::string_view whole = t.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? std::string_view() : t.substr(point + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  if (!std::all_of(whole.begin(), whole.end(), IsDigit) || !std::all_of(fraction.begin(), fraction.end(), IsDigit)) {
    return std::nullopt;
  }
  whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
  if (whole.size() > static_cast<size_t>(kMaxPrecision)) return std::nullopt;

  // Fraction digits past 38 significant digits are rounded away.
  int scale = static_cast<int>(std::min(fraction.size(), kMaxPrecision - whole.size()));
  Int128 value = 0;
  for (char c : whole) value = value * 10 + (c - '0');
  for (int i = 0; i < scale; ++i) value = value * 10 + (fraction[i] - '0');
  if (static_cast<size_t>(scale) < fraction.size() && fraction[scale] >= '5') {
    ++value;
    if (!FitsMaxPrecision(value)) return std::nullopt;
  }
  int precision = std::max(DigitCount(value), scale);
  return Parsed{negative ? -value : value, precision, scale};
}

}  // namespace orv::engine::decimal
