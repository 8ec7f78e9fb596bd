// Helpers shared by this folder's conversion, operator and function code.
#include "engine/function/value_util.h"

#include <algorithm>
#include <limits>

#include "engine/common/collation.h"
#include "engine/common/decimal.h"
#include "engine/function/scalar.h"

namespace orv::engine {

int64_t TextLength(TypeId type, std::string_view text) {
  if (IsUnicode(type)) return collation::CharCount(text);
  // The database's code page stores ASCII in one byte and Chinese in two, so a
  // VARCHAR(4) holds two Chinese characters, as on the server.
  int64_t bytes = 0;
  for (unsigned char c : text) {
    if (c < 0x80) {
      bytes += 1;
    } else if ((c & 0xC0) != 0x80) {
      bytes += 2;  // lead byte of a multi-byte character
    }
  }
  return bytes;
}

namespace detail {

DataType AsDecimalType(const DataType& type) {
  switch (type.id) {
    case TypeId::Bit:
      return {TypeId::Decimal, 1, 0};
    case TypeId::TinyInt:
      return {TypeId::Decimal, 3, 0};
    case TypeId::SmallInt:
      return {TypeId::Decimal, 5, 0};
    case TypeId::Int:
      return {TypeId::Decimal, 10, 0};
    case TypeId::BigInt:
      return {TypeId::Decimal, 19, 0};
    case TypeId::Money:
      return {TypeId::Decimal, 19, 4};
    default:
      return type;
  }
}

Int128 UnscaledAt(const Value& v, int scale) {
  if (IsInteger(v.type)) return static_cast<Int128>(v.i) * decimal::Pow10(scale);
  return decimal::Rescale(v.dec, v.scale, scale);
}

double ToDouble(const Value& v) {
  if (IsInteger(v.type)) return static_cast<double>(v.i);
  if (v.type == TypeId::Float) return v.f;
  if (v.type == TypeId::DateTime) return static_cast<double>(v.dt) / static_cast<double>(kTicksPerDay);
  return decimal::ToDouble(v.dec, v.scale);
}

bool IntegerFits(TypeId id, Int128 x) {
  switch (id) {
    case TypeId::Bit:
      return x == 0 || x == 1;
    case TypeId::TinyInt:
      return x >= 0 && x <= 255;
    case TypeId::SmallInt:
      return x >= -32768 && x <= 32767;
    case TypeId::Int:
      return x >= std::numeric_limits<int32_t>::min() && x <= std::numeric_limits<int32_t>::max();
    default:
      return x >= std::numeric_limits<int64_t>::min() && x <= std::numeric_limits<int64_t>::max();
  }
}

size_t NextChar(std::string_view s, size_t pos) {
  ++pos;
  while (pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) ++pos;
  return pos;
}

std::string_view FitText(std::string_view text, const DataType& type, StringArena& arena) {
  // (MAX) has no limit; nor has a length never filled in (0), rather than
  // silently emptying every value.
  if (type.length <= 0) return text;
  const int64_t limit = type.length;
  int64_t length = TextLength(type.id, text);
  if (length > limit) {
    // Cut at a character boundary so no half character survives.
    size_t cut = 0;
    int64_t used = 0;
    while (cut < text.size()) {
      size_t next = NextChar(text, cut);
      int64_t width = TextLength(type.id, text.substr(cut, next - cut));
      if (used + width > limit) break;
      used += width;
      cut = next;
    }
    text = text.substr(0, cut);
    length = used;
  }
  bool fixed = type.id == TypeId::Char || type.id == TypeId::NChar;
  if (!fixed || length >= limit) return text;
  size_t pad = static_cast<size_t>(limit - length);
  char* p = arena.Allocate(text.size() + pad);
  std::copy(text.begin(), text.end(), p);
  std::fill(p + text.size(), p + text.size() + pad, ' ');
  return {p, text.size() + pad};
}

Value MakeText(TypeId type, std::string_view text, StringArena& arena) {
  return Value::String(type, arena.Copy(text));
}

DataType ImplicitStringType(const DataType& type) {
  if (IsString(type.id)) return type;
  if (type.id == TypeId::Decimal) return {TypeId::VarChar, 0, 0, type.precision + 3};
  return {TypeId::VarChar, 0, 0, 30};
}

void ThrowConversionFailed(const Value& text_value, TypeId target) {
  Throw(ErrorCode::kConversionFailed,
        {TypeDisplayName(text_value.type), text_value.s(), TypeDisplayName(target)});
}

void ThrowExpressionOverflow(TypeId target) {
  Throw(ErrorCode::kArithmeticOverflow, {"expression", TypeDisplayName(target)});
}

}  // namespace detail
}  // namespace orv::engine
