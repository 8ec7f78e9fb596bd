// Decoding parameter values and writing them as T-SQL literals.
#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/engine.h"
#include "tds/request_error.h"
#include "tds/text_codec.h"
#include "tds/type_info.h"

namespace orv::tds {
namespace {

constexpr uint64_t kPlpNull = ~0ull;
constexpr uint64_t kPlpUnknownLength = ~0ull - 1;
constexpr int32_t kDaysFrom0001To1970 = 719162;
constexpr int32_t kMaxDate = 3652058;  // 9999-12-31

[[noreturn]] void BadLength(uint8_t type) {
  throw RequestError(kErrInvalidDataLength, "Data type 0x" + std::string(1, "0123456789ABCDEF"[type >> 4]) +
                                                "0123456789ABCDEF"[type & 15] +
                                                " has an invalid data length or metadata length.");
}

[[noreturn]] void InvalidValue(const char* type_name) {
  throw RequestError(kErrInvalidValue, std::string("The supplied value is not a valid instance of data type ") +
                                           type_name + ". Check the source data for invalid values.");
}

uint64_t LittleEndian(Bytes data) {
  uint64_t value = 0;
  for (size_t i = data.size(); i-- > 0;) value = value << 8 | data[i];
  return value;
}

int64_t SignedLittleEndian(Bytes data) {
  const uint64_t raw = LittleEndian(data);
  const unsigned bits = static_cast<unsigned>(data.size() * 8);
  if (bits == 64 || (raw >> (bits - 1) & 1) == 0) return static_cast<int64_t>(raw);
  return static_cast<int64_t>(raw | ~0ull << bits);
}

unsigned __int128 Pow10(int n) {
  unsigned __int128 value = 1;
  for (int i = 0; i < n; ++i) value *= 10;
  return value;
}

size_t TimeBytes(uint8_t scale) { return scale <= 2 ? 3 : scale <= 4 ? 4 : 5; }

void DecodeTime(Bytes data, uint8_t scale, ParamValue& value) {
  value.scale = scale;
  value.time_units = LittleEndian(data);
  if (value.time_units >= 86400ull * static_cast<uint64_t>(Pow10(scale))) InvalidValue("time");
}

void DecodeDate(Bytes data, ParamValue& value) {
  value.days = static_cast<int32_t>(LittleEndian(data));
  if (value.days > kMaxDate) InvalidValue("date");
}

ParamValue Integer(int64_t number) {
  ParamValue value;
  value.kind = ValueKind::kInteger;
  value.integer = number;
  return value;
}

ParamValue Decimal(unsigned __int128 magnitude, bool negative, uint8_t scale) {
  ParamValue value;
  value.kind = ValueKind::kDecimal;
  value.magnitude = magnitude;
  value.negative = negative;
  value.scale = scale;
  return value;
}

// The bytes of one non-null value of `type`, without its length prefix.
ParamValue DecodeData(const TypeInfo& type, Bytes data) {
  ParamValue value;
  const size_t n = data.size();
  switch (type.type) {
    case kInt1:
      if (n != 1) BadLength(type.type);
      return Integer(data[0]);
    case kInt2: case kInt4: case kInt8:
      if (n != (type.type == kInt2 ? 2u : type.type == kInt4 ? 4u : 8u)) BadLength(type.type);
      return Integer(SignedLittleEndian(data));
    case kIntN:
      if (n != type.max_length) BadLength(type.type);
      return Integer(n == 1 ? data[0] : SignedLittleEndian(data));
    case kBit: case kBitN:
      if (n != 1) BadLength(type.type);
      return Integer(data[0] != 0);
    case kFloat4: case kFloat8: case kFloatN: {
      value.kind = ValueKind::kFloat;
      if (n == 4) {
        const auto bits = static_cast<uint32_t>(LittleEndian(data));
        float single;
        std::memcpy(&single, &bits, 4);
        value.real = single;
        value.single = true;
      } else if (n == 8) {
        const uint64_t bits = LittleEndian(data);
        std::memcpy(&value.real, &bits, 8);
      } else {
        BadLength(type.type);
      }
      if (!std::isfinite(value.real)) InvalidValue(value.single ? "real" : "float");
      return value;
    }
    case kMoney: case kMoney4: case kMoneyN: {
      int64_t units;
      if (n == 8) {
        units = static_cast<int64_t>(static_cast<uint64_t>(LittleEndian(data.first(4))) << 32 | LittleEndian(data.subspan(4)));
      } else if (n == 4) {
        units = SignedLittleEndian(data);
      } else {
        BadLength(type.type);
      }
      const bool negative = units < 0;
      const unsigned __int128 magnitude = negative ? -static_cast<unsigned __int128>(units) : units;
      return Decimal(magnitude, negative, 4);
    }
    case kDateTime: case kDateTime4: case kDateTimeN: {
      value.kind = ValueKind::kDateTime;
      if (n == 8) {
        const int64_t days = SignedLittleEndian(data.first(4));
        const auto ticks = static_cast<int64_t>(LittleEndian(data.subspan(4)));
        if (ticks >= engine::kTicksPerDay || days < -53690 || days > 2958463) InvalidValue("datetime");
        value.integer = days * engine::kTicksPerDay + ticks;
      } else if (n == 4) {
        const auto days = static_cast<int64_t>(LittleEndian(data.first(2)));
        const auto minutes = static_cast<int64_t>(LittleEndian(data.subspan(2)));
        if (minutes >= 1440) InvalidValue("smalldatetime");
        value.integer = days * engine::kTicksPerDay + minutes * 60 * engine::kTicksPerSecond;
      } else {
        BadLength(type.type);
      }
      return value;
    }
    case kDecimal: case kNumeric: case kDecimalN: case kNumericN: {
      if (n < 2 || n > 17 || n > type.max_length) BadLength(type.type);
      unsigned __int128 magnitude = 0;
      for (size_t i = n; i-- > 1;) magnitude = magnitude << 8 | data[i];
      if (magnitude >= Pow10(type.precision)) InvalidValue("decimal");
      return Decimal(magnitude, data[0] == 0, type.scale);
    }
    case kDateN:
      if (n != 3) BadLength(type.type);
      value.kind = ValueKind::kDate;
      DecodeDate(data, value);
      return value;
    case kTimeN:
      if (n != TimeBytes(type.scale)) BadLength(type.type);
      value.kind = ValueKind::kTime;
      DecodeTime(data, type.scale, value);
      return value;
    case kDateTime2N:
      if (n != TimeBytes(type.scale) + 3) BadLength(type.type);
      value.kind = ValueKind::kDateTime2;
      DecodeTime(data.first(n - 3), type.scale, value);
      DecodeDate(data.subspan(n - 3), value);
      return value;
    case kDateTimeOffsetN: {
      if (n != TimeBytes(type.scale) + 5) BadLength(type.type);
      value.kind = ValueKind::kDateTimeOffset;
      DecodeTime(data.first(n - 5), type.scale, value);
      DecodeDate(data.subspan(n - 5, 3), value);
      value.offset_minutes = static_cast<int16_t>(SignedLittleEndian(data.subspan(n - 2)));
      if (value.offset_minutes < -840 || value.offset_minutes > 840) InvalidValue("datetimeoffset");
      return value;
    }
    case kGuid:
      if (n != 16) BadLength(type.type);
      value.kind = ValueKind::kGuid;
      value.text.assign(reinterpret_cast<const char*>(data.data()), n);
      return value;
    case kNVarChar: case kNChar: case kNText: case kXml:
      if (n % 2 != 0) BadLength(type.type);
      value.kind = ValueKind::kString;
      value.unicode = true;
      value.text = Utf16ToUtf8(data);
      return value;
    case kBigVarChar: case kBigChar: case kVarChar: case kChar: case kText:
      value.kind = ValueKind::kString;
      value.text = CodePageToUtf8(data, type.has_collation ? CodePageOfCollation(Bytes(type.collation, 5)) : 1252);
      return value;
    default:  // the binary types
      value.kind = ValueKind::kBinary;
      value.text.assign(reinterpret_cast<const char*>(data.data()), n);
      return value;
  }
}

// A sql_variant: base type, property bytes, properties, then the data.
ParamValue DecodeVariant(Bytes data) {
  WireReader reader(data);
  TypeInfo inner;
  inner.type = reader.U8();
  WireReader properties(reader.Take(reader.U8()));
  switch (inner.type) {
    case kDecimalN: case kNumericN:
      inner.precision = properties.U8();
      inner.scale = properties.U8();
      inner.max_length = 17;
      if (inner.precision < 1 || inner.precision > 38 || inner.scale > inner.precision) InvalidValue("sql_variant");
      break;
    case kTimeN: case kDateTime2N: case kDateTimeOffsetN:
      inner.scale = properties.U8();
      if (inner.scale > 7) InvalidValue("sql_variant");
      break;
    case kBigVarChar: case kBigChar: case kNVarChar: case kNChar: {
      const Bytes collation = properties.Take(5);
      for (size_t i = 0; i < 5; ++i) inner.collation[i] = collation[i];
      inner.has_collation = true;
      break;
    }
    case kInt1: case kInt2: case kInt4: case kInt8: case kBit: case kFloat4: case kFloat8: case kMoney:
    case kMoney4: case kDateTime: case kDateTime4: case kGuid: case kDateN: case kBigVarBinary: case kBigBinary:
      break;
    default:
      InvalidValue("sql_variant");
  }
  const Bytes rest = reader.Take(reader.remaining());
  if (inner.type == kGuid) inner.max_length = 16;
  return DecodeData(inner, rest);
}

// Partially Length-Prefixed data: a total length, then chunks until an empty one.
std::string ReadPlp(WireReader& reader, bool& is_null) {
  const uint64_t total = reader.U64();
  is_null = total == kPlpNull;
  std::string data;
  if (is_null) return data;
  for (;;) {
    const uint32_t chunk = reader.U32();
    if (chunk == 0) break;
    const Bytes bytes = reader.Take(chunk);
    data.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  if (total != kPlpUnknownLength && total != data.size()) throw RequestError(kErrInvalidDataLength, "A chunked value's length does not match its chunks.");
  return data;
}

struct CivilDate {
  int64_t year;
  unsigned month;
  unsigned day;
};

// Days since 1970-01-01 to a proleptic Gregorian date.
CivilDate CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned day = doy - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int64_t>(yoe) + era * 400 + (month <= 2), month, day};
}

std::string Padded(uint64_t number, int width) {
  std::string digits = std::to_string(number);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits;
}

std::string DateText(int32_t days_since_0001) {
  const CivilDate date = CivilFromDays(static_cast<int64_t>(days_since_0001) - kDaysFrom0001To1970);
  return Padded(static_cast<uint64_t>(date.year), 4) + "-" + Padded(date.month, 2) + "-" + Padded(date.day, 2);
}

std::string TimeText(uint64_t units, uint8_t scale) {
  const uint64_t per_second = static_cast<uint64_t>(Pow10(scale));
  const uint64_t seconds = units / per_second;
  std::string text = Padded(seconds / 3600, 2) + ":" + Padded(seconds / 60 % 60, 2) + ":" + Padded(seconds % 60, 2);
  if (scale > 0) text += "." + Padded(units % per_second, scale);
  return text;
}

std::string DecimalText(unsigned __int128 magnitude, bool negative, uint8_t scale) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude != 0);
  if (digits.size() <= scale) digits.insert(0, scale + 1 - digits.size(), '0');
  if (scale > 0) digits.insert(digits.size() - scale, ".");
  const bool zero = digits.find_first_not_of("0.") == std::string::npos;
  return negative && !zero ? "-" + digits : digits;
}

std::string FloatText(double real, bool single) {
  char buffer[64];
  const auto result = single ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(real), std::chars_format::scientific)
                             : std::to_chars(buffer, buffer + sizeof buffer, real, std::chars_format::scientific);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

std::string HexText(std::string_view bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out = "0x";
  for (const char c : bytes) {
    out.push_back(digits[static_cast<uint8_t>(c) >> 4]);
    out.push_back(digits[static_cast<uint8_t>(c) & 15]);
  }
  return out;
}

std::string GuidText(std::string_view raw) {
  // The first three groups are little-endian, the last two as they stand.
  static const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::string bytes;
  for (const int i : order) bytes.push_back(raw[static_cast<size_t>(i)]);
  std::string hex = HexText(bytes).substr(2);
  for (const size_t at : {20u, 16u, 12u, 8u}) hex.insert(at, "-");
  return "'" + hex + "'";
}

}  // namespace

std::string QuotedText(std::string_view text, bool unicode) {
  std::string out = unicode ? "N'" : "'";
  for (const char c : text) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  out.push_back('\'');
  return out;
}

ParamValue ReadValue(WireReader& reader, const TypeInfo& type) {
  ParamValue null_value;
  switch (type.type) {
    case kNullType:
      return null_value;
    case kInt1: case kBit: case kInt2: case kInt4: case kDateTime4: case kFloat4: case kMoney: case kDateTime:
    case kFloat8: case kMoney4: case kInt8:
      return DecodeData(type, reader.Take(type.max_length));
    case kText: case kNText: case kImage: {
      const uint32_t length = reader.U32();
      if (length == 0xFFFFFFFF) return null_value;
      return DecodeData(type, reader.Take(length));
    }
    case kVariant: {
      const uint32_t length = reader.U32();
      if (length == 0) return null_value;
      return DecodeVariant(reader.Take(length));
    }
    default:
      break;
  }
  if (type.is_plp()) {
    bool is_null = false;
    const std::string data = ReadPlp(reader, is_null);
    return is_null ? null_value : DecodeData(type, AsBytes(data));
  }
  const bool two_byte_length = type.type == kBigVarBinary || type.type == kBigVarChar || type.type == kBigBinary ||
                               type.type == kBigChar || type.type == kNVarChar || type.type == kNChar;
  if (two_byte_length) {
    const uint16_t length = reader.U16();
    if (length == 0xFFFF) return null_value;
    if (length > type.max_length) BadLength(type.type);
    return DecodeData(type, reader.Take(length));
  }
  const uint8_t length = reader.U8();
  if (length == 0) return null_value;
  const bool sized_by_scale = type.type == kDateN || type.type == kTimeN || type.type == kDateTime2N ||
                              type.type == kDateTimeOffsetN;
  if (!sized_by_scale && length > type.max_length) BadLength(type.type);
  return DecodeData(type, reader.Take(length));
}

std::string SqlLiteral(const ParamValue& value) {
  switch (value.kind) {
    case ValueKind::kNull:
      return "NULL";
    case ValueKind::kInteger:
      return std::to_string(value.integer);
    case ValueKind::kFloat:
      return FloatText(value.real, value.single);
    case ValueKind::kDecimal:
      return DecimalText(value.magnitude, value.negative, value.scale);
    case ValueKind::kDateTime: {
      // ISO 8601 with a T reads the same under every language and DATEFORMAT.
      std::string text = engine::FormatValue(engine::Value::DateTime(value.integer));
      if (text.size() > 10 && text[10] == ' ') text[10] = 'T';
      return "'" + text + "'";
    }
    case ValueKind::kDate:
      return "'" + DateText(value.days) + "'";
    case ValueKind::kTime:
      return "'" + TimeText(value.time_units, value.scale) + "'";
    case ValueKind::kDateTime2:
      return "'" + DateText(value.days) + "T" + TimeText(value.time_units, value.scale) + "'";
    case ValueKind::kDateTimeOffset: {
      // The wire holds UTC; the literal shows the local time and its offset.
      const int64_t per_minute = 60 * static_cast<int64_t>(Pow10(value.scale));
      const int64_t per_day = 1440 * per_minute;
      int64_t local = static_cast<int64_t>(value.days) * per_day + static_cast<int64_t>(value.time_units) +
                      value.offset_minutes * per_minute;
      const int64_t days = local >= 0 ? local / per_day : (local - per_day + 1) / per_day;
      local -= days * per_day;
      const int offset = value.offset_minutes < 0 ? -value.offset_minutes : value.offset_minutes;
      return "'" + DateText(static_cast<int32_t>(days)) + "T" + TimeText(static_cast<uint64_t>(local), value.scale) +
             (value.offset_minutes < 0 ? "-" : "+") + Padded(static_cast<uint64_t>(offset / 60), 2) + ":" +
             Padded(static_cast<uint64_t>(offset % 60), 2) + "'";
    }
    case ValueKind::kString:
      return QuotedText(value.text, value.unicode);
    case ValueKind::kBinary:
      return HexText(value.text);
    case ValueKind::kGuid:
      return GuidText(value.text);
  }
  return "NULL";
}

}  // namespace orv::tds
