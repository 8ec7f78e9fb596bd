// SQL data types of the embedded engine: the type identifiers, their parameters
// (precision, scale, length) and the data type precedence SQL Server uses for
// implicit conversion. Conversion and arithmetic live in function/.
#pragma once

#include <cstdint>
#include <string>

namespace orv::engine {

// Ordered from lowest to highest data type precedence (SQL Server's order), so
// the higher enumerator wins an implicit conversion. Null is the untyped NULL.
enum class TypeId : uint8_t {
  Null,
  Char,
  VarChar,
  NChar,
  NVarChar,
  Bit,
  TinyInt,
  SmallInt,
  Int,
  BigInt,
  Money,
  Decimal,  // DECIMAL and NUMERIC
  Float,
  DateTime,
};

// A column or expression type. precision/scale apply to Decimal (and are 19/4
// for Money); length applies to the string types: characters for NCHAR and
// NVARCHAR, bytes for CHAR and VARCHAR, kMaxLength for (MAX).
struct DataType {
  static constexpr int32_t kMaxLength = -1;

  TypeId id = TypeId::Null;
  uint8_t precision = 0;
  uint8_t scale = 0;
  int32_t length = 0;

  bool operator==(const DataType&) const = default;
};

// How a constant is written: Integer digits only; Decimal digits with a
// '.'; Float with an exponent; String/NString the text between the quotes.
enum class LiteralKind { Null, Integer, Decimal, Float, String, NString };

// The type as written in SQL, before resolution: CREATE TABLE columns, CAST and
// CONVERT targets. name is upper case; arg1/arg2 are -1 when not written.
struct TypeName {
  std::string name;
  int arg1 = -1;
  int arg2 = -1;
  bool max = false;  // VARCHAR(MAX)
};

inline bool IsString(TypeId id) {
  return id == TypeId::Char || id == TypeId::VarChar || id == TypeId::NChar || id == TypeId::NVarChar;
}
inline bool IsUnicode(TypeId id) { return id == TypeId::NChar || id == TypeId::NVarChar; }
inline bool IsInteger(TypeId id) {
  return id == TypeId::Bit || id == TypeId::TinyInt || id == TypeId::SmallInt || id == TypeId::Int ||
         id == TypeId::BigInt;
}
inline bool IsExactNumeric(TypeId id) { return IsInteger(id) || id == TypeId::Decimal || id == TypeId::Money; }
inline bool IsNumeric(TypeId id) { return IsExactNumeric(id) || id == TypeId::Float; }

}  // namespace orv::engine
