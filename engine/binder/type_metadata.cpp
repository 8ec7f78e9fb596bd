// The catalog's figures for each type, as SQL Server's sys.types lists them.
#include "engine/binder/type_metadata.h"

#include "engine/function/scalar.h"

namespace orv::engine {
namespace {

// Bytes of a decimal of `precision` digits.
int DecimalBytes(int precision) { return precision <= 9 ? 5 : precision <= 19 ? 9 : precision <= 28 ? 13 : 17; }

// Bytes of a TIME's fraction by its scale; DATETIME2 adds three for the date.
int TimeBytes(int scale) { return scale <= 2 ? 3 : scale <= 4 ? 4 : 5; }

}  // namespace

TypeMetadata DescribeType(const DataType& type) {
  const int s = type.scale;
  const int text_bytes = type.length == DataType::kMaxLength ? -1 : type.length;
  switch (type.id) {
    case TypeId::Null:
    case TypeId::Int: return {56, 4, 10, 0};
    case TypeId::Bit: return {104, 1, 1, 0};
    case TypeId::TinyInt: return {48, 1, 3, 0};
    case TypeId::SmallInt: return {52, 2, 5, 0};
    case TypeId::BigInt: return {127, 8, 19, 0};
    case TypeId::Money: return {60, 8, 19, 4};
    case TypeId::Decimal: return {106, DecimalBytes(type.precision), type.precision, s};
    case TypeId::Float: return {62, 8, 53, 0};
    case TypeId::DateTime: return {61, 8, 23, 3};
    case TypeId::Date: return {40, 3, 10, 0};
    case TypeId::Time: return {41, TimeBytes(s), s == 0 ? 8 : 9 + s, s};
    case TypeId::DateTime2: return {42, TimeBytes(s) + 3, s == 0 ? 19 : 20 + s, s};
    case TypeId::Char: return {175, text_bytes, 0, 0};
    case TypeId::VarChar: return {167, text_bytes, 0, 0};
    case TypeId::NChar: return {239, text_bytes < 0 ? -1 : 2 * text_bytes, 0, 0};
    case TypeId::NVarChar: return {231, text_bytes < 0 ? -1 : 2 * text_bytes, 0, 0};
  }
  return {0, 0, 0, 0};
}

std::string_view CatalogTypeName(TypeId id) { return id == TypeId::Decimal ? "decimal" : TypeDisplayName(id); }

}  // namespace orv::engine
