// Types as SQL names them: resolving a written type name, the type of a
// literal, the common type of two operands by data type precedence, and the
// names SQL Server prints in messages and metadata.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "engine/common/decimal.h"
#include "engine/function/scalar.h"
#include "engine/function/value_util.h"

namespace orv::engine {
namespace {

using detail::kMaxNVarCharLength;
using detail::kMaxVarCharLength;
DataType ResolveDecimal(const TypeName& name, int column_number) {
  int precision = name.arg1 < 0 ? 18 : name.arg1;
  int scale = name.arg2 < 0 ? 0 : name.arg2;
  if (precision == 0) Throw(ErrorCode::kInvalidLengthSpecification, {"0"});
  if (precision > decimal::kMaxPrecision) {
    Throw(ErrorCode::kPrecisionTooLarge, {std::to_string(column_number), std::to_string(precision)});
  }
  if (scale > precision) {
    Throw(ErrorCode::kScaleTooLarge,
          {std::to_string(column_number), std::to_string(scale), std::to_string(precision)});
  }
  return {TypeId::Decimal, static_cast<uint8_t>(precision), static_cast<uint8_t>(scale)};
}

DataType ResolveString(TypeId id, const TypeName& name, bool in_cast) {
  bool variable = id == TypeId::VarChar || id == TypeId::NVarChar;
  if (name.max) {
    if (!variable) Throw(ErrorCode::kNotSupported, {name.name + "(MAX)"});
    return {id, 0, 0, DataType::kMaxLength};
  }
  int length = name.arg1 < 0 ? (in_cast ? 30 : 1) : name.arg1;
  if (length == 0) Throw(ErrorCode::kInvalidLengthSpecification, {"0"});
  int limit = IsUnicode(id) ? kMaxNVarCharLength : kMaxVarCharLength;
  if (length > limit) {
    Throw(ErrorCode::kSizeExceedsMaximum,
          {std::to_string(length), TypeDisplayName(id), std::to_string(limit)});
  }
  return {id, 0, 0, length};
}

// Digits of an unsigned literal without its leading zeros.
std::string_view SignificantDigits(std::string_view digits) {
  size_t first = digits.find_first_not_of('0');
  return first == std::string_view::npos ? std::string_view{} : digits.substr(first);
}

int CombinedLength(const DataType& a, const DataType& b) {
  if (a.length == DataType::kMaxLength || b.length == DataType::kMaxLength) return DataType::kMaxLength;
  return std::max(a.length, b.length);
}

}  // namespace

DataType ResolveTypeName(const TypeName& name, bool in_cast, int column_number) {
  const std::string& n = name.name;
  if (n == "INT" || n == "INTEGER") return {TypeId::Int};
  if (n == "BIGINT") return {TypeId::BigInt};
  if (n == "SMALLINT") return {TypeId::SmallInt};
  if (n == "TINYINT") return {TypeId::TinyInt};
  if (n == "BIT") return {TypeId::Bit};
  if (n == "DECIMAL" || n == "NUMERIC" || n == "DEC") return ResolveDecimal(name, column_number);
  if (n == "MONEY") return {TypeId::Money, 19, 4};
  if (n == "DATETIME") return {TypeId::DateTime};
  if (n == "FLOAT" || n == "DOUBLE PRECISION") {
    // FLOAT(1..24) is SQL Server's 4-byte real, whose rounding this engine does not model.
    if (name.arg1 < 0 || (name.arg1 >= 25 && name.arg1 <= 53)) return {TypeId::Float};
    if (name.arg1 >= 1 && name.arg1 <= 24) Throw(ErrorCode::kNotSupported, {"The data type real"});
    Throw(ErrorCode::kInvalidLengthSpecification, {std::to_string(name.arg1)});
  }
  if (n == "CHAR" || n == "CHARACTER") return ResolveString(TypeId::Char, name, in_cast);
  if (n == "VARCHAR") return ResolveString(TypeId::VarChar, name, in_cast);
  if (n == "NCHAR") return ResolveString(TypeId::NChar, name, in_cast);
  if (n == "NVARCHAR") return ResolveString(TypeId::NVarChar, name, in_cast);
  if (n == "SYSNAME") return {TypeId::NVarChar, 0, 0, 128};
  static constexpr std::string_view kKnownElsewhere[] = {
      "REAL", "SMALLMONEY", "SMALLDATETIME", "DATE", "TIME", "DATETIME2", "DATETIMEOFFSET", "TEXT",
      "NTEXT", "IMAGE", "BINARY", "VARBINARY", "UNIQUEIDENTIFIER", "SQL_VARIANT", "XML", "TIMESTAMP",
      "ROWVERSION", "HIERARCHYID", "GEOMETRY", "GEOGRAPHY"};
  for (std::string_view known : kKnownElsewhere) {
    if (n == known) Throw(ErrorCode::kNotSupported, {"The data type " + n});
  }
  Throw(ErrorCode::kCannotFindDataType, {std::to_string(column_number), n});
}

DataType LiteralType(LiteralKind kind, std::string_view text) {
  using Kind = LiteralKind;
  switch (kind) {
    case Kind::Null:
      return {TypeId::Null};
    case Kind::Integer: {
      std::string_view digits = SignificantDigits(text);
      if (digits.size() > static_cast<size_t>(decimal::kMaxPrecision)) {
        Throw(ErrorCode::kNumberOutOfRange, {text});
      }
      // SQL Server types an integer constant past the int range as numeric, not bigint.
      if (digits.size() < 10 || (digits.size() == 10 && digits <= "2147483647")) return {TypeId::Int};
      return {TypeId::Decimal, static_cast<uint8_t>(digits.size()), 0};
    }
    case Kind::Decimal: {
      size_t point = text.find('.');
      std::string_view integral = SignificantDigits(std::string_view(text).substr(0, point));
      int scale = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
      int precision = std::max<int>(1, static_cast<int>(integral.size()) + scale);
      if (precision > decimal::kMaxPrecision) Throw(ErrorCode::kNumberOutOfRange, {text});
      return {TypeId::Decimal, static_cast<uint8_t>(precision), static_cast<uint8_t>(scale)};
    }
    case Kind::Float:
      return {TypeId::Float};
    case Kind::String: {
      int64_t length = TextLength(TypeId::VarChar, text);
      if (length > kMaxVarCharLength) return {TypeId::VarChar, 0, 0, DataType::kMaxLength};
      return {TypeId::VarChar, 0, 0, static_cast<int32_t>(std::max<int64_t>(1, length))};
    }
    case Kind::NString: {
      int64_t length = TextLength(TypeId::NVarChar, text);
      if (length > kMaxNVarCharLength) return {TypeId::NVarChar, 0, 0, DataType::kMaxLength};
      return {TypeId::NVarChar, 0, 0, static_cast<int32_t>(std::max<int64_t>(1, length))};
    }
  }
  Throw(ErrorCode::kInternal, {"unknown literal kind"});
}

Value LiteralValue(LiteralKind kind, std::string_view text, const DataType& type, StringArena& arena) {
  using Kind = LiteralKind;
  switch (kind) {
    case Kind::Null:
      return Value::Null(type.id);
    case Kind::Integer:
    case Kind::Decimal: {
      auto parsed = decimal::Parse(text);
      if (!parsed) Throw(ErrorCode::kNumberOutOfRange, {text});
      if (type.id == TypeId::Int) return Value::Integer(TypeId::Int, static_cast<int64_t>(parsed->value));
      Int128 unscaled = decimal::Rescale(parsed->value, parsed->scale, type.scale);
      return Value::Decimal(unscaled, type.precision, type.scale);
    }
    case Kind::Float:
      return Value::Double(std::strtod(std::string(text).c_str(), nullptr));
    case Kind::String:
      return Value::String(TypeId::VarChar, arena.Copy(text));
    case Kind::NString:
      return Value::String(TypeId::NVarChar, arena.Copy(text));
  }
  Throw(ErrorCode::kInternal, {"unknown literal kind"});
}

DataType CommonType(const DataType& a, const DataType& b) {
  if (a.id == TypeId::Null) return b;
  if (b.id == TypeId::Null) return a;
  if (IsString(a.id) && IsString(b.id)) {
    TypeId id = std::max(a.id, b.id);
    // A VARCHAR's bytes become at most as many NVARCHAR characters.
    int length = CombinedLength(a, b);
    if (IsUnicode(id) && length != DataType::kMaxLength) length = std::min(length, kMaxNVarCharLength);
    return {id, 0, 0, length};
  }
  bool a_exact = IsExactNumeric(a.id);
  bool b_exact = IsExactNumeric(b.id);
  if (a_exact && b_exact && (a.id == TypeId::Decimal || b.id == TypeId::Decimal)) {
    DataType da = detail::AsDecimalType(a);
    DataType db = detail::AsDecimalType(b);
    int scale = std::max(da.scale, db.scale);
    int integral = std::max(da.precision - da.scale, db.precision - db.scale);
    if (integral + scale > decimal::kMaxPrecision) scale = std::max(0, decimal::kMaxPrecision - integral);
    int precision = std::min(decimal::kMaxPrecision, integral + scale);
    return {TypeId::Decimal, static_cast<uint8_t>(precision), static_cast<uint8_t>(scale)};
  }
  // Everything else: the operand of higher precedence decides; a string meets a
  // number or a datetime by converting to it.
  return a.id >= b.id ? a : b;
}

std::string_view TypeDisplayName(TypeId id) {
  switch (id) {
    case TypeId::Null:
      return "NULL";
    case TypeId::Char:
      return "char";
    case TypeId::VarChar:
      return "varchar";
    case TypeId::NChar:
      return "nchar";
    case TypeId::NVarChar:
      return "nvarchar";
    case TypeId::Bit:
      return "bit";
    case TypeId::TinyInt:
      return "tinyint";
    case TypeId::SmallInt:
      return "smallint";
    case TypeId::Int:
      return "int";
    case TypeId::BigInt:
      return "bigint";
    case TypeId::Money:
      return "money";
    case TypeId::Decimal:
      return "numeric";
    case TypeId::Float:
      return "float";
    case TypeId::DateTime:
      return "datetime";
  }
  return "unknown";
}

std::string TypeToString(const DataType& type) {
  if (type.id == TypeId::Decimal) {
    return "decimal(" + std::to_string(type.precision) + "," + std::to_string(type.scale) + ")";
  }
  std::string name(TypeDisplayName(type.id));
  if (IsString(type.id)) {
    name += type.length == DataType::kMaxLength ? "(max)" : "(" + std::to_string(type.length) + ")";
  }
  return name;
}

}  // namespace orv::engine
