// CAST and CONVERT to and from DATE, TIME and DATETIME2: text both ways,
// DATETIME both ways, and between the three; numbers refuse them (529).
#include "engine/common/temporal.h"
#include "engine/function/scalar.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

using temporal::kUnitsPerDay;

[[noreturn]] void ThrowNotAllowed(TypeId from, TypeId to) {
  Throw(ErrorCode::kExplicitConversionNotAllowed, {TypeDisplayName(from), TypeDisplayName(to)});
}

// The instant a value stands for, in DATETIME2 units; a TIME is on 1900-01-01.
int64_t UnitsOf(const Value& v) {
  switch (v.type) {
    case TypeId::Date:
      return v.i * kUnitsPerDay;
    case TypeId::DateTime:
      return temporal::UnitsFromTicks(v.dt);
    default:
      return v.i;  // Time, DateTime2
  }
}

int64_t FromText(const Value& v, const DataType& target) {
  std::optional<int64_t> parsed;
  switch (target.id) {
    case TypeId::Date:
      parsed = temporal::DateFromText(v.s());
      break;
    case TypeId::Time:
      parsed = temporal::TimeFromText(v.s(), target.scale);
      break;
    default:
      parsed = temporal::DateTime2FromText(v.s(), target.scale);
      break;
  }
  if (!parsed) Throw(ErrorCode::kDateConversionFailed);
  return *parsed;
}

}  // namespace

Value ToTemporal(const Value& v, const DataType& target) {
  if (IsString(v.type)) return Value::Temporal(target.id, FromText(v, target), target.scale);
  CheckExplicitConversion({v.type}, target);
  const int64_t units = UnitsOf(v);
  switch (target.id) {
    case TypeId::Date:
      return Value::Temporal(TypeId::Date, temporal::DayOf(units), 0);
    case TypeId::Time:
      return Value::Temporal(TypeId::Time, temporal::RoundToScale(temporal::TimeOfDay(units), target.scale) % kUnitsPerDay,
                             target.scale);
    default: {
      const int64_t rounded = temporal::RoundToScale(units, target.scale);
      if (temporal::DayOf(rounded) > temporal::kLastDay) ThrowExpressionOverflow(TypeId::DateTime2);
      return Value::Temporal(TypeId::DateTime2, rounded, target.scale);
    }
  }
}

int64_t TemporalToTicks(const Value& v) {
  if (v.type != TypeId::Date && v.type != TypeId::Time && v.type != TypeId::DateTime2) {
    ThrowNotAllowed(v.type, TypeId::DateTime);
  }
  const int64_t ticks = temporal::TicksFromUnits(UnitsOf(v));
  if (ticks < kMinTicks || ticks > kMaxTicks) {
    Throw(ErrorCode::kDateOutOfRange, {TypeDisplayName(v.type), "datetime"});
  }
  return ticks;
}

std::string TemporalText(const Value& v, int style) {
  if (style < 0) {
    if (v.type == TypeId::Date) return temporal::DateText(v.i);
    if (v.type == TypeId::Time) return temporal::TimeText(v.i, v.scale);
    return temporal::DateTime2Text(v.i, v.scale);
  }
  // The CONVERT styles of DATETIME, on the value's calendar parts; the long
  // ISO styles print the type's own fraction.
  const int64_t units = UnitsOf(v);
  if (v.type == TypeId::DateTime2 && (style == 21 || style == 25 || style == 121 || style == 126)) {
    std::string text = temporal::DateTime2Text(units, v.scale);
    if (style == 126) text[10] = 'T';
    return text;
  }
  auto formatted = datetime::FormatParts(temporal::PartsOf(units), style);
  if (!formatted) Throw(ErrorCode::kInvalidStyle, {std::to_string(style), TypeDisplayName(v.type)});
  return *formatted;
}

}  // namespace orv::engine::detail

namespace orv::engine {

bool ConversionAllowed(const DataType& from, const DataType& to) {
  auto wide = [](TypeId id) { return IsDateOrTime(id) && id != TypeId::DateTime; };
  return !((wide(from.id) && IsNumeric(to.id)) || (wide(to.id) && IsNumeric(from.id)) ||
           (from.id == TypeId::Date && to.id == TypeId::Time) || (from.id == TypeId::Time && to.id == TypeId::Date));
}

void CheckExplicitConversion(const DataType& from, const DataType& to) {
  if (!ConversionAllowed(from, to)) {
    Throw(ErrorCode::kExplicitConversionNotAllowed, {TypeDisplayName(from.id), TypeDisplayName(to.id)});
  }
}

}  // namespace orv::engine
