// One SQL value as the executor passes it around: a small trivially-copyable
// struct. Strings are UTF-8 views into an arena owned by whoever produced the
// value (a table column, a result set or the statement's StringArena), so
// copying a Value never allocates.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/common/types.h"

namespace orv::engine {

using Int128 = __int128;

// Datetime as SQL Server keeps it: days since 1900-01-01 times the ticks of one
// day (300 ticks per second) plus the ticks of the time of day.
inline constexpr int64_t kTicksPerSecond = 300;
inline constexpr int64_t kTicksPerDay = 86400 * kTicksPerSecond;

// 32 bytes: the executor moves millions of these, so the string's length
// sits beside the type and its pointer shares the payload.
struct Value {
  TypeId type = TypeId::Null;  // the value's own type; Null for an untyped NULL
  bool is_null = true;
  uint8_t precision = 0;  // Decimal/Money: precision and scale of `dec`
  uint8_t scale = 0;
  uint32_t length = 0;    // string types: bytes of `chars`
  union {
    int64_t i;          // Bit, TinyInt, SmallInt, Int, BigInt
    double f;           // Float
    Int128 dec;         // Decimal, Money: the unscaled integer (value * 10^scale)
    int64_t dt;         // DateTime ticks
    const char* chars;  // string types: UTF-8 text
  };

  Value() : dec(0) {}

  std::string_view s() const { return {chars, length}; }
  // Makes this value a non-NULL integer (or datetime) in place: cheaper than
  // assigning a new Value in loops that fill rows.
  void SetInteger(TypeId t, int64_t x) {
    type = t;
    is_null = false;
    i = x;
  }
  void SetNull(TypeId t) {
    type = t;
    is_null = true;
  }
  void set_s(std::string_view text) {
    chars = text.data();
    length = static_cast<uint32_t>(text.size());
  }

  static Value Null(TypeId t = TypeId::Null) {
    Value v;
    v.type = t;
    return v;
  }
  static Value Integer(TypeId t, int64_t x) {
    Value v;
    v.type = t;
    v.is_null = false;
    v.i = x;
    return v;
  }
  static Value Double(double x) {
    Value v;
    v.type = TypeId::Float;
    v.is_null = false;
    v.f = x;
    return v;
  }
  static Value Decimal(Int128 unscaled, uint8_t precision, uint8_t scale, TypeId t = TypeId::Decimal) {
    Value v;
    v.type = t;
    v.is_null = false;
    v.precision = precision;
    v.scale = scale;
    v.dec = unscaled;
    return v;
  }
  static Value DateTime(int64_t ticks) {
    Value v;
    v.type = TypeId::DateTime;
    v.is_null = false;
    v.dt = ticks;
    return v;
  }
  static Value String(TypeId t, std::string_view text) {
    Value v;
    v.type = t;
    v.is_null = false;
    v.set_s(text);
    return v;
  }
};

}  // namespace orv::engine
