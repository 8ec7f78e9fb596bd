// Helpers shared by the conversion, operator, function and aggregate code of
// this folder: reading a value as a number, fitting text into a string type,
// and raising the conversion errors with SQL Server's wording. Not part of the
// engine's interface; the binder and executor use scalar.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/common/errors.h"
#include "engine/common/string_arena.h"
#include "engine/common/types.h"
#include "engine/common/value.h"

namespace orv::engine::detail {

// The longest VARCHAR (bytes) and NVARCHAR (characters) short of (MAX).
inline constexpr int kMaxVarCharLength = 8000;
inline constexpr int kMaxNVarCharLength = 4000;

// The datetime range, 1753-01-01 to the last tick of 9999-12-31, in ticks
// from 1900-01-01.
inline constexpr int64_t kMinTicks = -53690 * kTicksPerDay;
inline constexpr int64_t kMaxTicks = 2958464 * kTicksPerDay - 1;

// The decimal an exact number takes part in decimal arithmetic as: int is
// decimal(10,0), bigint (19,0), smallint (5,0), tinyint (3,0), bit (1,0),
// money (19,4); a decimal is itself.
DataType AsDecimalType(const DataType& type);

// The unscaled value of an exact numeric value (integer, decimal, money) at
// `scale`, rounding half away from zero when the scale shrinks.
Int128 UnscaledAt(const Value& v, int scale);

// Any numeric value (and datetime as days since 1900-01-01) as a double.
double ToDouble(const Value& v);

// True when `x` lies in the range of the integer type `id` (bit: 0..1).
bool IntegerFits(TypeId id, Int128 x);

// The byte position of the character after the one starting at `pos` (UTF-8).
size_t NextChar(std::string_view s, size_t pos);

// `text` cut to the length of `type` (characters or code-page bytes, see
// TextLength) and, for CHAR/NCHAR, padded with blanks to it; a view of the
// arena when anything changed.
std::string_view FitText(std::string_view text, const DataType& type, StringArena& arena);

// A string value of `type` holding `text` copied into the arena.
Value MakeText(TypeId type, std::string_view text, StringArena& arena);

// The string type a non-string argument of a string function converts to
// (CAST without length would give 30; a decimal needs its digits, a sign, a
// point and the zero before it).
DataType ImplicitStringType(const DataType& type);

// 245: "Conversion failed when converting the varchar value 'abc' to data type int."
[[noreturn]] void ThrowConversionFailed(const Value& text_value, TypeId target);
// 8115: "Arithmetic overflow error converting expression to data type int."
[[noreturn]] void ThrowExpressionOverflow(TypeId target);

}  // namespace orv::engine::detail
