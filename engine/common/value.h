// One SQL value as the executor passes it around: a small trivially-copyable
// struct. Strings are UTF-8 views into an arena owned by whoever produced the
// value (a table column, a result set or the statement's StringArena), so
// copying a Value never allocates.
#pragma once

#include <emmintrin.h>

#include <bit>
#include <cstddef>
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
  uint8_t scale = 0;      // also Time/DateTime2: fractional digits
  uint32_t length = 0;    // string types: bytes of `chars`
  union {
    int64_t i;          // Bit, TinyInt, SmallInt, Int, BigInt; Date days and Time/DateTime2
                        // 100 ns units (common/temporal.h)
    double f;           // Float
    Int128 dec;         // Decimal, Money: the unscaled integer (value * 10^scale)
    int64_t dt;         // DateTime ticks
    const char* chars;  // string types: UTF-8 text
  };

  Value() : dec(0) {}

  std::string_view s() const { return {chars, length}; }
  // Writes every field with two 16-byte stores made in registers. Rows are
  // copied 16 bytes at a time right after they are filled; a copy that reads
  // back several narrower stores waits for them to drain, one that reads a
  // store of its own width does not.
  void Store(TypeId t, bool null, uint8_t p, uint8_t s, uint32_t len, uint64_t low, uint64_t high) {
    const uint64_t header = static_cast<uint64_t>(t) | static_cast<uint64_t>(null) << 8 |
                            static_cast<uint64_t>(p) << 16 | static_cast<uint64_t>(s) << 24 |
                            static_cast<uint64_t>(len) << 32;
    auto* halves = reinterpret_cast<__m128i*>(this);
    _mm_store_si128(halves, _mm_set_epi64x(0, static_cast<int64_t>(header)));
    _mm_store_si128(halves + 1, _mm_set_epi64x(static_cast<int64_t>(high), static_cast<int64_t>(low)));
  }
  // In place, for loops that fill rows.
  void SetInteger(TypeId t, int64_t x) { Store(t, false, 0, 0, 0, static_cast<uint64_t>(x), 0); }
  void SetNull(TypeId t) { Store(t, true, 0, 0, 0, 0, 0); }
  void SetDecimal(Int128 unscaled, uint8_t p, uint8_t s, TypeId t) {
    Store(t, false, p, s, 0, static_cast<uint64_t>(unscaled), static_cast<uint64_t>(unscaled >> 64));
  }
  void SetString(TypeId t, std::string_view text) {
    Store(t, false, 0, 0, static_cast<uint32_t>(text.size()), reinterpret_cast<uintptr_t>(text.data()), 0);
  }
  void set_s(std::string_view text) {
    chars = text.data();
    length = static_cast<uint32_t>(text.size());
  }

  static Value Null(TypeId t = TypeId::Null) {
    Value v;
    v.SetNull(t);
    return v;
  }
  static Value Integer(TypeId t, int64_t x) {
    Value v;
    v.SetInteger(t, x);
    return v;
  }
  static Value Double(double x) {
    Value v;
    v.Store(TypeId::Float, false, 0, 0, 0, std::bit_cast<uint64_t>(x), 0);
    return v;
  }
  static Value Decimal(Int128 unscaled, uint8_t precision, uint8_t scale, TypeId t = TypeId::Decimal) {
    Value v;
    v.SetDecimal(unscaled, precision, scale, t);
    return v;
  }
  static Value DateTime(int64_t ticks) {
    Value v;
    v.SetInteger(TypeId::DateTime, ticks);
    return v;
  }
  // Date, Time and DateTime2 (see common/temporal.h); `scale` is the type's.
  static Value Temporal(TypeId t, int64_t x, uint8_t scale) {
    Value v;
    v.Store(t, false, 0, scale, 0, static_cast<uint64_t>(x), 0);
    return v;
  }
  static Value String(TypeId t, std::string_view text) {
    Value v;
    v.SetString(t, text);
    return v;
  }
};

// Store() writes the fields as two halves of 16 bytes.
static_assert(sizeof(Value) == 32 && alignof(Value) == 16);
static_assert(offsetof(Value, is_null) == 1 && offsetof(Value, precision) == 2 && offsetof(Value, scale) == 3 &&
              offsetof(Value, length) == 4 && offsetof(Value, i) == 16);

}  // namespace orv::engine
