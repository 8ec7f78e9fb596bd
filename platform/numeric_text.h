// Numbers as the automation runtime reads and writes them in text: what
// counts as numeric text (blanks around it, a sign, digits with one point, an
// exponent; no hexadecimal "&H") and how a Double is printed (15 significant
// digits, "1.5", "1E+20").
#pragma once

#include <string>
#include <string_view>

namespace orv::platform {

enum class NumericParse { kOk, kNotNumeric, kOverflow };

// Reads `text` as a number into `value`.
NumericParse ParseNumericText(std::string_view text, double& value);

// CStr of a Double.
std::string FormatDouble(double value);

// The decimal text of an unscaled integer at `scale`, trailing zeros of the
// fraction dropped ("1.5", "-0.25", "100").
std::string FormatScaled(__int128 unscaled, int scale);

}  // namespace orv::platform
