// Numbers read from text and written as text the way SQL Server's CAST and
// CONVERT do: which spellings each target accepts ('' is 0 for int, float and
// money but an error for numeric), and the default and styled text of float
// and money.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/common/types.h"
#include "engine/common/value.h"

namespace orv::engine::detail {

// `text` (a varchar or nvarchar value) as the integer type `target` (bit
// included: 'true'/'false' too). Raises 245, and 244/248/8114 when the
// number does not fit.
int64_t TextToInteger(const Value& text, TypeId target);

// `text` as an unscaled decimal at `scale` fitting `precision`; money reads
// '' as 0, a leading currency sign and thousands separators. Raises 8114
// (numeric), 235 (money) or 8115 when it does not fit.
Int128 TextToDecimal(const Value& text, TypeId target, int precision, int scale);

// `text` as a float: digits with an optional point and exponent, '' is 0.
// Raises 8114.
double TextToFloat(const Value& text);

// ISNUMERIC's test: convertible to some numeric type.
bool LooksNumeric(std::string_view text);

// CONVERT(varchar, float, style): style 0 is 6 significant digits, switching
// to an exponent of three digits ("1.23457e+006"); 1 and 2 always use an
// exponent, with 8 and 16 digits; 3 with 17.
std::string FloatToText(double d, int style);

// CONVERT(varchar, money, style): 0 two decimals, 1 two decimals and
// thousands separators, 2 four decimals.
std::string MoneyToText(Int128 unscaled, int style);

}  // namespace orv::engine::detail
