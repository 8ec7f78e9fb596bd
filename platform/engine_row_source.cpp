// Describing and reading the embedded engine's result sets.
#include "platform/engine_row_source.h"

namespace orv::platform {
namespace {

// 255 is what the provider reports for a precision or scale that does not apply.
constexpr uint8_t kNotApplicable = 255;

FieldInfo Describe(DataTypeEnum type, int32_t size, uint8_t precision, uint8_t scale = kNotApplicable) {
  FieldInfo info;
  info.type = type;
  info.defined_size = size;
  info.precision = precision;
  info.numeric_scale = scale;
  return info;
}

FieldInfo DescribeText(const engine::DataType& type) {
  const bool unicode = engine::IsUnicode(type.id);
  if (type.length == engine::DataType::kMaxLength) {
    return unicode ? Describe(DataTypeEnum::adLongVarWChar, 1073741823, kNotApplicable)
                   : Describe(DataTypeEnum::adLongVarChar, 2147483647, kNotApplicable);
  }
  switch (type.id) {
    case engine::TypeId::Char:
      return Describe(DataTypeEnum::adChar, type.length, kNotApplicable);
    case engine::TypeId::NChar:
      return Describe(DataTypeEnum::adWChar, type.length, kNotApplicable);
    case engine::TypeId::NVarChar:
      return Describe(DataTypeEnum::adVarWChar, type.length, kNotApplicable);
    default:
      return Describe(DataTypeEnum::adVarChar, type.length, kNotApplicable);
  }
}

// Days since 1900-01-01 in 1/300 s ticks to an OLE date (1900-01-01 is day 2).
double TicksToOleDate(int64_t ticks) {
  int64_t days = ticks / engine::kTicksPerDay;
  int64_t rest = ticks % engine::kTicksPerDay;
  if (rest < 0) {
    rest += engine::kTicksPerDay;
    --days;
  }
  const double ole_day = static_cast<double>(days + 2);
  const double time = static_cast<double>(rest) / static_cast<double>(engine::kTicksPerDay);
  return ole_day >= 0 ? ole_day + time : ole_day - time;
}

// DATE days, TIME and DATETIME2 100 ns units (all from 1900-01-01) as an OLE date.
double UnitsToOleDate(int64_t units) {
  constexpr int64_t kUnitsPerDay = 864000000000;
  int64_t days = units / kUnitsPerDay;
  int64_t rest = units % kUnitsPerDay;
  if (rest < 0) {
    rest += kUnitsPerDay;
    --days;
  }
  const double ole_day = static_cast<double>(days + 2);
  const double time = static_cast<double>(rest) / static_cast<double>(kUnitsPerDay);
  return ole_day >= 0 ? ole_day + time : ole_day - time;
}

int64_t ToCurrencyUnits(__int128 unscaled, int scale) {
  for (; scale < 4; ++scale) unscaled *= 10;
  for (; scale > 4; --scale) unscaled /= 10;
  return static_cast<int64_t>(unscaled);
}

}  // namespace

FieldInfo DescribeColumn(const engine::ColumnInfo& column) {
  const engine::DataType& type = column.type;
  FieldInfo info;
  switch (type.id) {
    case engine::TypeId::Bit:
      info = Describe(DataTypeEnum::adBoolean, 2, kNotApplicable);
      break;
    case engine::TypeId::TinyInt:
      info = Describe(DataTypeEnum::adUnsignedTinyInt, 1, 3);
      break;
    case engine::TypeId::SmallInt:
      info = Describe(DataTypeEnum::adSmallInt, 2, 5);
      break;
    case engine::TypeId::Null:  // an untyped NULL column is an int to the server
    case engine::TypeId::Int:
      info = Describe(DataTypeEnum::adInteger, 4, 10);
      break;
    case engine::TypeId::BigInt:
      info = Describe(DataTypeEnum::adBigInt, 8, 19);
      break;
    case engine::TypeId::Money:
      info = Describe(DataTypeEnum::adCurrency, 8, 19);
      break;
    case engine::TypeId::Decimal:
      info = Describe(DataTypeEnum::adNumeric, 19, type.precision, type.scale);
      break;
    case engine::TypeId::Float:
      info = Describe(DataTypeEnum::adDouble, 8, 15);
      break;
    case engine::TypeId::DateTime:
      info = Describe(DataTypeEnum::adDBTimeStamp, 16, 23, 3);
      break;
    case engine::TypeId::Date:
      info = Describe(DataTypeEnum::adDBDate, 6, 10, 0);
      break;
    case engine::TypeId::Time:
      info = Describe(DataTypeEnum::adDBTime, 10, 16, type.scale);
      break;
    case engine::TypeId::DateTime2:
      info = Describe(DataTypeEnum::adDBTimeStamp, 16, 27, type.scale);
      break;
    case engine::TypeId::Char:
    case engine::TypeId::VarChar:
    case engine::TypeId::NChar:
    case engine::TypeId::NVarChar:
      info = DescribeText(type);
      break;
  }
  info.name = column.name;
  return info;
}

Variant ToVariant(const engine::Value& value) {
  if (value.is_null) return Variant::Null();
  switch (value.type) {
    case engine::TypeId::Null:
      return Variant::Null();
    case engine::TypeId::Bit:
      return Variant(value.i != 0);
    case engine::TypeId::TinyInt:
    case engine::TypeId::SmallInt:
      return Variant(static_cast<int16_t>(value.i));
    case engine::TypeId::Int:
      return Variant(static_cast<int32_t>(value.i));
    case engine::TypeId::BigInt:
      return Variant::Decimal(value.i, 0);  // the runtime has no 64-bit integer
    case engine::TypeId::Money:
      return Variant::Currency(ToCurrencyUnits(value.dec, value.scale));
    case engine::TypeId::Decimal:
      return Variant::Decimal(value.dec, value.scale);
    case engine::TypeId::Float:
      return Variant(value.f);
    case engine::TypeId::DateTime:
      return Variant::Date(TicksToOleDate(value.dt));
    case engine::TypeId::Date:
      return Variant::Date(UnitsToOleDate(value.i * 864000000000));
    case engine::TypeId::Time:
    case engine::TypeId::DateTime2:
      return Variant::Date(UnitsToOleDate(value.i));
    case engine::TypeId::Char:
    case engine::TypeId::VarChar:
    case engine::TypeId::NChar:
    case engine::TypeId::NVarChar:
      return Variant(value.s());
  }
  return Variant::Null();
}

EngineRowSource::EngineRowSource(engine::ResultSet result) : result_(std::move(result)) {
  columns_.reserve(result_.column_count());
  for (const engine::ColumnInfo& column : result_.columns()) columns_.push_back(DescribeColumn(column));
}

}  // namespace orv::platform
