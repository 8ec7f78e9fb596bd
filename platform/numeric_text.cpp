// Reading and printing numbers in the runtime's text forms.
#include "platform/numeric_text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/ascii_text.h"

namespace orv::platform {
NumericParse ParseNumericText(std::string_view text, double& value) {
  text = TrimBlanks(text);
  // Validate the shape here: strtod alone would also take "inf", "nan" and hexadecimal.
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  size_t digits = 0;
  while (pos < text.size() && IsDigit(text[pos])) ++pos, ++digits;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos, ++digits;
  }
  if (digits == 0) return NumericParse::kNotNumeric;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    const size_t exponent_start = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    if (pos == exponent_start) return NumericParse::kNotNumeric;
  }
  if (pos != text.size()) return NumericParse::kNotNumeric;
  const std::string copy(text);
  errno = 0;
  value = std::strtod(copy.c_str(), nullptr);
  if (std::isinf(value)) return NumericParse::kOverflow;
  if (errno == ERANGE) value = 0;  // underflow reads as zero, as in the runtime
  return NumericParse::kOk;
}

std::string FormatDouble(double value) {
  if (value == 0) return "0";  // also for -0
  char text[64];
  std::snprintf(text, sizeof text, "%.15G", value);
  return text;
}

std::string FormatScaled(__int128 unscaled, int scale) {
  const bool negative = unscaled < 0;
  unsigned __int128 magnitude = negative ? -static_cast<unsigned __int128>(unscaled) : unscaled;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude != 0);
  if (static_cast<int>(digits.size()) <= scale) digits.insert(0, scale + 1 - digits.size(), '0');
  std::string integer = digits.substr(0, digits.size() - scale);
  std::string fraction = digits.substr(digits.size() - scale);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string out = negative && (integer != "0" || !fraction.empty()) ? "-" : "";
  out += integer;
  if (!fraction.empty()) out += "." + fraction;
  return out;
}

}  // namespace orv::platform
