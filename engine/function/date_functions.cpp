// Date built-ins: GETDATE, GETUTCDATE, CURRENT_TIMESTAMP, DATEADD, DATEDIFF, DATEPART,
// DATENAME, YEAR, MONTH and DAY. Arguments that are text or numbers convert
// to datetime first, as SQL Server converts them implicitly; DATE, TIME and
// DATETIME2 arguments are worked in their own 100 ns units and range.
#include <array>
#include <string>

#include "engine/common/datetime.h"
#include "engine/common/temporal.h"
#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

const DataType kDateTime{TypeId::DateTime};
const DataType kInt{TypeId::Int};

// The part's id, or 155 ("'fortnight' is not a recognized datediff option.").
int PartOf(std::string_view datepart, std::string_view function) {
  auto part = datetime::CanonicalPart(datepart);
  if (!part) Throw(ErrorCode::kNotRecognizedOption, {datepart, function});
  return *part;
}

// DATEADD and DATEDIFF take every part but iso_week, which SQL Server does not
// recognize for them.
int ArithmeticPartOf(std::string_view datepart, std::string_view function) {
  const int part = PartOf(datepart, function);
  if (part == datetime::kIsoWeek) Throw(ErrorCode::kNotRecognizedOption, {datepart, function});
  return part;
}

// The date part is written as the first argument but kept apart from the
// others, so the count SQL Server reports includes it.
void CheckDateArity(std::span<const DataType> args, std::string_view name, int count) {
  if (static_cast<int>(args.size()) != count) Throw(ErrorCode::kWrongArgumentCount, {name, std::to_string(count + 1)});
}

// 8116 unless argument `index` can become a datetime.
void RequireDate(std::span<const DataType> args, size_t index, std::string_view name) {
  TypeId id = args[index].id;
  if (IsDateOrTime(id) || IsString(id) || IsNumeric(id) || id == TypeId::Null) return;
  Throw(ErrorCode::kInvalidArgumentType, {TypeDisplayName(id), std::to_string(index + 1), name});
}

// DATE, TIME and DATETIME2: the types with the wider range and finer fraction.
bool IsWide(TypeId id) { return id == TypeId::Date || id == TypeId::Time || id == TypeId::DateTime2; }

int64_t TicksOf(const Value& v, EvalContext& context) {
  return v.type == TypeId::DateTime ? v.dt : CastValue(v, kDateTime, context.arena).dt;
}

// Any date argument as DATETIME2 units; a TIME lies on 1900-01-01. Text
// reads as DATETIME2, with its 7-digit fraction and wider range.
int64_t UnitsOf(const Value& v, EvalContext& context) {
  if (IsString(v.type)) return CastValue(v, {TypeId::DateTime2, 0, 7}, context.arena).i;
  switch (v.type) {
    case TypeId::Date:
      return v.i * temporal::kUnitsPerDay;
    case TypeId::Time:
    case TypeId::DateTime2:
      return v.i;
    default:
      return temporal::UnitsFromTicks(TicksOf(v, context));
  }
}

// 9810 for a part the type does not hold: a DATE has no time of day, a TIME
// no calendar date. (Text and DATETIME hold both.)
void RequirePartOf(std::string_view datepart, const DataType& type, std::string_view function) {
  const bool time_part = PartOf(datepart, function) >= datetime::kHour;
  if ((type.id == TypeId::Date && time_part) || (type.id == TypeId::Time && !time_part)) {
    Throw(ErrorCode::kDatePartNotSupported, {datepart, function, TypeDisplayName(type.id)});
  }
}

// ---------------------------------------------------------------- GETDATE

template <FunctionName kName>
DataType NowType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), 0, 0);
  return kDateTime;
}

Value NowEval(std::span<const Value>, const DataType&, std::string_view, EvalContext&) {
  return Value::DateTime(datetime::Now());
}

Value UtcNowEval(std::span<const Value>, const DataType&, std::string_view, EvalContext&) {
  return Value::DateTime(datetime::Now(true));
}

// ---------------------------------------------------------------- DATEADD, DATEDIFF

DataType DateAddType(std::span<const DataType> args, std::string_view datepart) {
  CheckDateArity(args, "dateadd", 2);
  ArithmeticPartOf(datepart, "dateadd");
  RequireNumeric(args, 0, "dateadd");
  RequireDate(args, 1, "dateadd");
  if (!IsWide(args[1].id)) return kDateTime;
  RequirePartOf(datepart, args[1], "dateadd");
  return args[1];
}

// A TIME wraps around midnight; DATE and DATETIME2 stop at 9999-12-31 (517).
Value WideDateAdd(int part, int64_t amount, const Value& date, const DataType& result, EvalContext& context) {
  const int64_t units = UnitsOf(date, context);
  if (result.id == TypeId::Time) {
    // Whole days of the amount change nothing, so only the rest is added.
    static constexpr int64_t kPerDay[] = {24, 1440, 86400, 86400000, 86400000000, 86400000000000};
    amount %= kPerDay[part - datetime::kHour];
    return Value::Temporal(TypeId::Time, temporal::TimeOfDay(*temporal::DateAdd(part, amount, units)), result.scale);
  }
  auto moved = temporal::DateAdd(part, amount, units);
  if (!moved) Throw(ErrorCode::kDateAddOverflow, {TypeDisplayName(result.id)});
  if (result.id == TypeId::Date) return Value::Temporal(TypeId::Date, temporal::DayOf(*moved), 0);
  return Value::Temporal(TypeId::DateTime2, temporal::RoundToScale(*moved, result.scale), result.scale);
}

Value DateAddEval(std::span<const Value> args, const DataType& result, std::string_view datepart,
                  EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  // The amount is an int: a decimal amount loses its fraction.
  int64_t amount = CastValue(args[0], kInt, context.arena).i;
  if (IsWide(result.id)) return WideDateAdd(PartOf(datepart, "dateadd"), amount, args[1], result, context);
  const int part = PartOf(datepart, "dateadd");
  if (part == datetime::kMicrosecond || part == datetime::kNanosecond) {
    Throw(ErrorCode::kDatePartNotSupported, {datepart, "dateadd", "datetime"});
  }
  auto ticks = datetime::DateAdd(PartOf(datepart, "dateadd"), amount, TicksOf(args[1], context));
  if (!ticks) Throw(ErrorCode::kDateAddOverflow, {"datetime"});
  return Value::DateTime(*ticks);
}

DataType DateDiffType(std::span<const DataType> args, std::string_view datepart) {
  CheckDateArity(args, "datediff", 2);
  ArithmeticPartOf(datepart, "datediff");
  RequireDate(args, 0, "datediff");
  RequireDate(args, 1, "datediff");
  return kInt;
}

Value DateDiffEval(std::span<const Value> args, const DataType&, std::string_view datepart, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(TypeId::Int);
  const int part = PartOf(datepart, "datediff");
  // Only two DATETIMEs (or numbers) count in DATETIME's 1/300 s ticks.
  const bool ticks = !IsWide(args[0].type) && !IsWide(args[1].type) && !IsString(args[0].type) &&
                     !IsString(args[1].type);
  int64_t diff = !ticks ? temporal::DateDiff(part, UnitsOf(args[0], context), UnitsOf(args[1], context))
                     : datetime::DateDiff(part, TicksOf(args[0], context), TicksOf(args[1], context));
  if (!IntegerFits(TypeId::Int, diff)) Throw(ErrorCode::kDateDiffOverflow);
  return Value::Integer(TypeId::Int, diff);
}

// ---------------------------------------------------------------- DATEPART, DATENAME, YEAR, MONTH, DAY

DataType DatePartType(std::span<const DataType> args, std::string_view datepart) {
  CheckDateArity(args, "datepart", 1);
  RequireDate(args, 0, "datepart");
  RequirePartOf(datepart, args[0], "datepart");
  return kInt;
}

int64_t PartValue(int part, const Value& date, EvalContext& context) {
  if (IsWide(date.type) || IsString(date.type)) return temporal::DatePart(part, UnitsOf(date, context));
  return datetime::DatePart(part, TicksOf(date, context));
}

Value DatePartEval(std::span<const Value> args, const DataType&, std::string_view datepart, EvalContext& context) {
  if (args[0].is_null) return Value::Null(TypeId::Int);
  return Value::Integer(TypeId::Int, PartValue(PartOf(datepart, "datepart"), args[0], context));
}

DataType DateNameType(std::span<const DataType> args, std::string_view datepart) {
  CheckDateArity(args, "datename", 1);
  RequireDate(args, 0, "datename");
  RequirePartOf(datepart, args[0], "datename");
  return {TypeId::NVarChar, 0, 0, 30};
}

// Months and weekdays by name (the session language is us_english), other
// parts as their number.
Value DateNameEval(std::span<const Value> args, const DataType& result, std::string_view datepart,
                   EvalContext& context) {
  static constexpr std::string_view kMonths[] = {"January", "February", "March",     "April",   "May",
                                                 "June",    "July",     "August",    "September", "October",
                                                 "November", "December"};
  static constexpr std::string_view kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                   "Thursday", "Friday", "Saturday"};
  if (args[0].is_null) return Value::Null(result.id);
  int part = PartOf(datepart, "datename");
  int64_t number = PartValue(part, args[0], context);
  if (part == *datetime::CanonicalPart("month")) return Value::String(result.id, kMonths[number - 1]);
  if (part == *datetime::CanonicalPart("weekday")) return Value::String(result.id, kWeekdays[number - 1]);
  return MakeText(result.id, std::to_string(number), context.arena);
}

// The typing of YEAR, MONTH and DAY.
template <FunctionName kName>
DataType CalendarPartType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), 1, 1);
  RequireDate(args, 0, kName.view());
  return kInt;
}

// YEAR, MONTH and DAY of a TIME are those of 1900-01-01.
template <datetime::PartId kPart>
Value CalendarPartEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(TypeId::Int);
  return Value::Integer(TypeId::Int, PartValue(kPart, args[0], context));
}

constexpr std::array kFunctions = {
    ScalarFunction{"GETDATE", 0, 0, NowType<"getdate">, NowEval},
    ScalarFunction{"GETUTCDATE", 0, 0, NowType<"getutcdate">, UtcNowEval},
    ScalarFunction{"CURRENT_TIMESTAMP", 0, 0, NowType<"current_timestamp">, NowEval},
    ScalarFunction{"DATEADD", 2, 2, DateAddType, DateAddEval},
    ScalarFunction{"DATEDIFF", 2, 2, DateDiffType, DateDiffEval},
    ScalarFunction{"DATEPART", 1, 1, DatePartType, DatePartEval},
    ScalarFunction{"DATENAME", 1, 1, DateNameType, DateNameEval},
    ScalarFunction{"YEAR", 1, 1, CalendarPartType<"year">, CalendarPartEval<datetime::kYear>},
    ScalarFunction{"MONTH", 1, 1, CalendarPartType<"month">, CalendarPartEval<datetime::kMonth>},
    ScalarFunction{"DAY", 1, 1, CalendarPartType<"day">, CalendarPartEval<datetime::kDay>},
};

}  // namespace

std::span<const ScalarFunction> DateFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
