// Built-ins that make dates: EOMONTH, DATEFROMPARTS, DATETIMEFROMPARTS and
// SYSDATETIME and SYSUTCDATETIME. Parts that name no real date raise 289; a NULL part gives NULL.
#include <array>
#include <string>

#include "engine/common/datetime.h"
#include "engine/common/datetime_calendar.h"
#include "engine/common/temporal.h"
#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

const DataType kDate{TypeId::Date};
const DataType kInt{TypeId::Int};

// 8116 unless argument `index` is a number (or text or NULL, which convert).
void RequireInteger(std::span<const DataType> args, size_t index, std::string_view name) {
  TypeId id = args[index].id;
  if (IsNumeric(id) || IsString(id) || id == TypeId::Null) return;
  Throw(ErrorCode::kInvalidArgumentType, {TypeDisplayName(id), std::to_string(index + 1), name});
}

// ---------------------------------------------------------------- EOMONTH

DataType EndOfMonthType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "eomonth", 1, 2);
  TypeId id = args[0].id;
  if (!(IsDateOrTime(id) && id != TypeId::Time) && !IsString(id) && id != TypeId::Null) {
    Throw(ErrorCode::kInvalidArgumentType, {TypeDisplayName(id), "1", "eomonth"});
  }
  if (args.size() == 2) RequireInteger(args, 1, "eomonth");
  return kDate;
}

Value EndOfMonthEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(TypeId::Date);
  // Text reads as a date; DATETIME and DATETIME2 keep their day.
  const int64_t day = CastValue(args[0], kDate, context.arena).i;
  const int64_t months = args.size() == 2 ? CastValue(args[1], kInt, context.arena).i : 0;
  int y, m, d;
  datetime::CivilFromDays(day, &y, &m, &d);
  const int64_t index = static_cast<int64_t>(y) * 12 + (m - 1) + months;
  const int64_t year = datetime::FloorDiv(index, 12);
  if (year < 1 || year > 9999) Throw(ErrorCode::kDateAddOverflow, {"date"});
  const int month = static_cast<int>(index - year * 12) + 1;
  const int last = datetime::DaysInMonth(static_cast<int>(year), month);
  return Value::Temporal(TypeId::Date, datetime::DaysFromCivil(static_cast<int>(year), month, last), 0);
}

// ---------------------------------------------------------------- DATEFROMPARTS, DATETIMEFROMPARTS

template <FunctionName kName, int kCount, TypeId kResult>
DataType FromPartsType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), kCount, kCount);
  for (size_t i = 0; i < args.size(); ++i) RequireInteger(args, i, kName.view());
  return {kResult};
}

// Each part as an int; one past the int range cannot name a date anyway.
std::array<int, 7> PartsOf(std::span<const Value> args, EvalContext& context, std::string_view type) {
  std::array<int, 7> parts{};
  for (size_t i = 0; i < args.size(); ++i) {
    const int64_t v = IntegerOf(args[i], context);
    if (!IntegerFits(TypeId::Int, v)) Throw(ErrorCode::kCannotConstructType, {type});
    parts[i] = static_cast<int>(v);
  }
  return parts;
}

Value DateFromPartsEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(TypeId::Date);
  auto p = PartsOf(args, context, "date");
  auto day = temporal::DateFromParts(p[0], p[1], p[2]);
  if (!day) Throw(ErrorCode::kCannotConstructType, {"date"});
  return Value::Temporal(TypeId::Date, *day, 0);
}

Value DateTimeFromPartsEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(TypeId::DateTime);
  auto p = PartsOf(args, context, "datetime");
  auto ticks = datetime::FromParts(datetime::Parts{p[0], p[1], p[2], p[3], p[4], p[5], p[6]});
  if (!ticks) Throw(ErrorCode::kCannotConstructType, {"datetime"});
  return Value::DateTime(*ticks);
}

// ---------------------------------------------------------------- SYSDATETIME

template <FunctionName kName>
DataType SysDateTimeType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), 0, 0);
  return {TypeId::DateTime2, 0, 7};
}

template <bool kUtc>
Value SysDateTimeEval(std::span<const Value>, const DataType&, std::string_view, EvalContext&) {
  return Value::Temporal(TypeId::DateTime2, temporal::UnitsFromTicks(datetime::Now(kUtc)), 7);
}

constexpr std::array kFunctions = {
    ScalarFunction{"EOMONTH", 1, 2, EndOfMonthType, EndOfMonthEval},
    ScalarFunction{"DATEFROMPARTS", 3, 3, FromPartsType<"datefromparts", 3, TypeId::Date>, DateFromPartsEval},
    ScalarFunction{"DATETIMEFROMPARTS", 7, 7, FromPartsType<"datetimefromparts", 7, TypeId::DateTime>,
                   DateTimeFromPartsEval},
    ScalarFunction{"SYSDATETIME", 0, 0, SysDateTimeType<"sysdatetime">, SysDateTimeEval<false>},
    ScalarFunction{"SYSUTCDATETIME", 0, 0, SysDateTimeType<"sysutcdatetime">, SysDateTimeEval<true>},
};

}  // namespace

std::span<const ScalarFunction> DateBuildFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
