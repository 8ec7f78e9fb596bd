// TYPE_INFO and the values that follow it in an RPC request: every data type a
// client may send a parameter as, decoded into a ParamValue that renders as a
// T-SQL literal and a type name that renders as a T-SQL type. Malformed or
// invalid values throw RequestError with the server's number (8009, 8016,
// 8020, 8023); the caller adds which parameter it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tds/wire.h"

namespace orv::tds {

// Data type tokens.
enum WireType : uint8_t {
  kNullType = 0x1F,
  kInt1 = 0x30,
  kBit = 0x32,
  kInt2 = 0x34,
  kInt4 = 0x38,
  kDateTime4 = 0x3A,
  kFloat4 = 0x3B,
  kMoney = 0x3C,
  kDateTime = 0x3D,
  kFloat8 = 0x3E,
  kMoney4 = 0x7A,
  kInt8 = 0x7F,
  kGuid = 0x24,
  kIntN = 0x26,
  kDecimal = 0x37,
  kNumeric = 0x3F,
  kBitN = 0x68,
  kDecimalN = 0x6A,
  kNumericN = 0x6C,
  kFloatN = 0x6D,
  kMoneyN = 0x6E,
  kDateTimeN = 0x6F,
  kDateN = 0x28,
  kTimeN = 0x29,
  kDateTime2N = 0x2A,
  kDateTimeOffsetN = 0x2B,
  kChar = 0x2F,
  kVarChar = 0x27,
  kBinary = 0x2D,
  kVarBinary = 0x25,
  kBigVarBinary = 0xA5,
  kBigVarChar = 0xA7,
  kBigBinary = 0xAD,
  kBigChar = 0xAF,
  kNVarChar = 0xE7,
  kNChar = 0xEF,
  kXml = 0xF1,
  kUdt = 0xF0,
  kText = 0x23,
  kImage = 0x22,
  kNText = 0x63,
  kVariant = 0x62,
  kTableValued = 0xF3,
};

inline constexpr uint32_t kPlpMaxLength = 0xFFFF;  // a two-byte length type declared (MAX)

struct TypeInfo {
  uint8_t type = kNullType;
  uint32_t max_length = 0;  // bytes
  uint8_t precision = 0;
  uint8_t scale = 0;        // decimals, and the fraction digits of time types
  uint8_t collation[5] = {};
  bool has_collation = false;

  bool is_plp() const;  // (MAX) types and xml: values come in chunks
};

TypeInfo ReadTypeInfo(WireReader& reader);
// The type as DECLARE would write it: "int", "nvarchar(4000)", "decimal(18,2)".
std::string SqlTypeName(const TypeInfo& type);

enum class ValueKind { kNull, kInteger, kFloat, kDecimal, kDateTime, kDate, kTime, kDateTime2, kDateTimeOffset,
                       kString, kBinary, kGuid };

struct ParamValue {
  ValueKind kind = ValueKind::kNull;
  int64_t integer = 0;           // integers and bit; kDateTime: ticks of 1/300 s since 1900-01-01
  double real = 0;               // kFloat
  bool single = false;           // kFloat from a real
  unsigned __int128 magnitude = 0;  // kDecimal: the unscaled absolute value
  bool negative = false;
  uint8_t scale = 0;             // kDecimal digits after the point; time types' fraction digits
  int32_t days = 0;              // date part: days since 0001-01-01
  uint64_t time_units = 0;       // time part: 10^-scale seconds since midnight
  int16_t offset_minutes = 0;    // kDateTimeOffset
  std::string text;              // kString: UTF-8; kBinary and kGuid: the raw bytes
  bool unicode = false;          // kString: N'...'
};

ParamValue ReadValue(WireReader& reader, const TypeInfo& type);

// A literal that T-SQL accepts where EXEC takes a parameter value: numbers,
// N'...' and '...' strings, 0x... binaries, date and time types as ISO 8601
// strings (converted by the declared type), NULL.
std::string SqlLiteral(const ParamValue& value);
// 'text' or N'text' with its quotes doubled.
std::string QuotedText(std::string_view text, bool unicode);

}  // namespace orv::tds
