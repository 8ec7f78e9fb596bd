// Small builders for the value tests: values from text, a value's SQL text,
// and a check that an expression raises the expected SQL Server error.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/common/decimal.h"
#include "engine/common/errors.h"
#include "engine/function/scalar.h"

namespace orv::engine::test {

inline Value Int(int64_t x, TypeId t = TypeId::Int) { return Value::Integer(t, x); }

// A decimal value written as text, at the given type.
inline Value Dec(std::string_view text, int precision, int scale, TypeId t = TypeId::Decimal) {
  auto parsed = decimal::Parse(text);
  EXPECT_TRUE(parsed.has_value()) << text;
  return Value::Decimal(decimal::Rescale(parsed->value, parsed->scale, scale), static_cast<uint8_t>(precision),
                        static_cast<uint8_t>(scale), t);
}

inline Value Str(std::string_view text, TypeId t = TypeId::VarChar) { return Value::String(t, text); }

inline DataType Type(TypeId id, int precision = 0, int scale = 0) {
  return {id, static_cast<uint8_t>(precision), static_cast<uint8_t>(scale), 0};
}
inline DataType Text(TypeId id, int length) { return {id, 0, 0, length}; }

// The value as a test can compare it: numbers in their SQL text, strings
// quoted, NULL as NULL.
inline std::string Show(const Value& v) {
  if (v.is_null) return "NULL";
  switch (v.type) {
    case TypeId::Decimal:
    case TypeId::Money:
      return decimal::ToString(v.dec, v.scale);
    case TypeId::Float:
      return std::to_string(v.f);
    case TypeId::DateTime:
      return "ticks " + std::to_string(v.dt);
    default:
      if (IsString(v.type)) return "'" + std::string(v.s()) + "'";
      return std::to_string(v.i);
  }
}

// Runs `action`, which must throw SqlError `number` with exactly `message`
// (an empty message checks only the number).
template <typename Action>
void ExpectSqlError(int number, const std::string& message, Action action) {
  try {
    action();
    ADD_FAILURE() << "expected error " << number << " " << message;
  } catch (const SqlError& e) {
    EXPECT_EQ(e.number(), number) << e.what();
    if (!message.empty()) {
      EXPECT_EQ(e.message(), message);
    }
  }
}

}  // namespace orv::engine::test
