// Reading TYPE_INFO and naming the type in T-SQL.
#include "tds/type_info.h"

#include "tds/request_error.h"

namespace orv::tds {
namespace {

std::string Hex2(uint8_t type) {
  static const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[type >> 4] + digits[type & 15];
}

[[noreturn]] void BadLength(const TypeInfo& type) {
  throw RequestError(kErrInvalidDataLength, "Data type " + Hex2(type.type) + " has an invalid data length or metadata length.");
}

uint32_t FixedLength(uint8_t type) {
  switch (type) {
    case kNullType:
      return 0;
    case kInt1:
    case kBit:
      return 1;
    case kInt2:
      return 2;
    case kInt4:
    case kDateTime4:
    case kFloat4:
    case kMoney4:
      return 4;
    default:
      return 8;  // kMoney, kDateTime, kFloat8, kInt8
  }
}

bool IsFixed(uint8_t type) {
  switch (type) {
    case kNullType: case kInt1: case kBit: case kInt2: case kInt4: case kDateTime4: case kFloat4:
    case kMoney: case kDateTime: case kFloat8: case kMoney4: case kInt8:
      return true;
    default:
      return false;
  }
}

void ReadCollation(WireReader& reader, TypeInfo& info) {
  const Bytes collation = reader.Take(5);
  for (size_t i = 0; i < 5; ++i) info.collation[i] = collation[i];
  info.has_collation = true;
}

void CheckSizes(const TypeInfo& info) {
  const uint32_t n = info.max_length;
  switch (info.type) {
    case kIntN:
      if (n != 1 && n != 2 && n != 4 && n != 8) BadLength(info);
      return;
    case kBitN:
      if (n != 1) BadLength(info);
      return;
    case kFloatN:
    case kMoneyN:
    case kDateTimeN:
      if (n != 4 && n != 8) BadLength(info);
      return;
    case kGuid:
      if (n != 16) BadLength(info);
      return;
    case kDecimalN:
    case kNumericN:
    case kDecimal:
    case kNumeric:
      if (n < 5 || n > 17) BadLength(info);
      if (info.precision < 1 || info.precision > 38 || info.scale > info.precision) {
        throw RequestError(kErrInvalidPrecision, "Data type " + Hex2(info.type) + " has an invalid precision or scale.");
      }
      return;
    case kTimeN:
    case kDateTime2N:
    case kDateTimeOffsetN:
      if (info.scale > 7) {
        throw RequestError(kErrInvalidPrecision, "Data type " + Hex2(info.type) + " has an invalid precision or scale.");
      }
      return;
    case kNVarChar:
    case kNChar:
      if (n != kPlpMaxLength && (n % 2 != 0 || n > 8000)) BadLength(info);
      return;
    case kBigVarChar:
    case kBigChar:
    case kBigVarBinary:
    case kBigBinary:
      if (n != kPlpMaxLength && n > 8000) BadLength(info);
      return;
    default:
      return;
  }
}

std::string WithLength(const char* name, uint32_t length) {
  if (length == kPlpMaxLength) return std::string(name) + "(max)";
  return std::string(name) + "(" + std::to_string(length == 0 ? 1 : length) + ")";
}

std::string WithScale(const char* name, uint8_t scale) { return std::string(name) + "(" + std::to_string(scale) + ")"; }

}  // namespace

bool TypeInfo::is_plp() const {
  if (type == kXml) return true;
  const bool two_byte_length = type == kBigVarBinary || type == kBigVarChar || type == kBigBinary ||
                               type == kBigChar || type == kNVarChar || type == kNChar;
  return two_byte_length && max_length == kPlpMaxLength;
}

TypeInfo ReadTypeInfo(WireReader& reader) {
  TypeInfo info;
  info.type = reader.U8();
  if (IsFixed(info.type)) {
    info.max_length = FixedLength(info.type);
    return info;
  }
  switch (info.type) {
    case kGuid: case kIntN: case kBitN: case kFloatN: case kMoneyN: case kDateTimeN:
    case kChar: case kVarChar: case kBinary: case kVarBinary:
      info.max_length = reader.U8();
      break;
    case kDecimal: case kNumeric: case kDecimalN: case kNumericN:
      info.max_length = reader.U8();
      info.precision = reader.U8();
      info.scale = reader.U8();
      break;
    case kDateN:
      info.max_length = 3;
      break;
    case kTimeN: case kDateTime2N: case kDateTimeOffsetN:
      info.scale = reader.U8();
      break;
    case kBigVarBinary: case kBigBinary:
      info.max_length = reader.U16();
      break;
    case kBigVarChar: case kBigChar: case kNVarChar: case kNChar:
      info.max_length = reader.U16();
      ReadCollation(reader, info);
      break;
    case kText: case kNText:
      info.max_length = reader.U32();
      ReadCollation(reader, info);
      break;
    case kImage: case kVariant:
      info.max_length = reader.U32();
      break;
    case kXml:
      if (reader.U8() != 0) {
        (void)reader.BVarChar();   // database of the schema collection
        (void)reader.BVarChar();   // its owning schema
        (void)reader.UsVarChar();  // the collection
      }
      break;
    default:
      throw RequestError(kErrUnknownDataType, "Data type " + Hex2(info.type) + " is unknown.");
  }
  CheckSizes(info);
  return info;
}

std::string SqlTypeName(const TypeInfo& type) {
  switch (type.type) {
    case kNullType:
    case kInt4:
      return "int";
    case kInt1:
      return "tinyint";
    case kInt2:
      return "smallint";
    case kInt8:
      return "bigint";
    case kIntN:
      return type.max_length == 1 ? "tinyint" : type.max_length == 2 ? "smallint" : type.max_length == 8 ? "bigint" : "int";
    case kBit:
    case kBitN:
      return "bit";
    case kFloat4:
      return "real";
    case kFloat8:
      return "float";
    case kFloatN:
      return type.max_length == 4 ? "real" : "float";
    case kMoney:
      return "money";
    case kMoney4:
      return "smallmoney";
    case kMoneyN:
      return type.max_length == 4 ? "smallmoney" : "money";
    case kDateTime:
      return "datetime";
    case kDateTime4:
      return "smalldatetime";
    case kDateTimeN:
      return type.max_length == 4 ? "smalldatetime" : "datetime";
    case kDecimal: case kDecimalN: case kNumeric: case kNumericN:
      return (type.type == kNumeric || type.type == kNumericN ? std::string("numeric(") : std::string("decimal(")) +
             std::to_string(type.precision) + "," + std::to_string(type.scale) + ")";
    case kDateN:
      return "date";
    case kTimeN:
      return WithScale("time", type.scale);
    case kDateTime2N:
      return WithScale("datetime2", type.scale);
    case kDateTimeOffsetN:
      return WithScale("datetimeoffset", type.scale);
    case kGuid:
      return "uniqueidentifier";
    case kChar: case kBigChar:
      return WithLength("char", type.max_length);
    case kVarChar: case kBigVarChar:
      return WithLength("varchar", type.max_length);
    case kNChar:
      return WithLength("nchar", type.max_length == kPlpMaxLength ? kPlpMaxLength : type.max_length / 2);
    case kNVarChar:
      return WithLength("nvarchar", type.max_length == kPlpMaxLength ? kPlpMaxLength : type.max_length / 2);
    case kBinary: case kBigBinary:
      return WithLength("binary", type.max_length);
    case kVarBinary: case kBigVarBinary:
      return WithLength("varbinary", type.max_length);
    case kText:
      return "text";
    case kNText:
      return "ntext";
    case kImage:
      return "image";
    case kVariant:
      return "sql_variant";
    case kXml:
      return "xml";
    default:
      return "sql_variant";
  }
}

}  // namespace orv::tds
