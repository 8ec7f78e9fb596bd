// Date built-ins: GETDATE, CURRENT_TIMESTAMP, DATEADD, DATEDIFF, DATEPART,
// DATENAME, YEAR, MONTH and DAY. Arguments that are text or numbers convert
// to datetime first, as SQL Server converts them implicitly.
#include <array>
#include <string>

#include "engine/common/datetime.h"
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

// The date part is written as the first argument but kept apart from the
// others, so the count SQL Server reports includes it.
void CheckDateArity(std::span<const DataType> args, std::string_view name, int count) {
  if (static_cast<int>(args.size()) != count) Throw(ErrorCode::kWrongArgumentCount, {name, std::to_string(count + 1)});
}

// 8116 unless argument `index` can become a datetime.
void RequireDate(std::span<const DataType> args, size_t index, std::string_view name) {
  TypeId id = args[index].id;
  if (id == TypeId::DateTime || IsString(id) || IsNumeric(id) || id == TypeId::Null) return;
  Throw(ErrorCode::kInvalidArgumentType, {TypeDisplayName(id), std::to_string(index + 1), name});
}

int64_t TicksOf(const Value& v, EvalContext& context) {
  return v.type == TypeId::DateTime ? v.dt : CastValue(v, kDateTime, context.arena).dt;
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

// ---------------------------------------------------------------- DATEADD, DATEDIFF

DataType DateAddType(std::span<const DataType> args, std::string_view datepart) {
  CheckDateArity(args, "dateadd", 2);
  PartOf(datepart, "dateadd");
  RequireNumeric(args, 0, "dateadd");
  RequireDate(args, 1, "dateadd");
  return kDateTime;
}

Value DateAddEval(std::span<const Value> args, const DataType&, std::string_view datepart, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(TypeId::DateTime);
  // The amount is an int: a decimal amount loses its fraction.
  int64_t amount = CastValue(args[0], kInt, context.arena).i;
  auto ticks = datetime::DateAdd(PartOf(datepart, "dateadd"), amount, TicksOf(args[1], context));
  if (!ticks) Throw(ErrorCode::kDateAddOverflow, {"datetime"});
  return Value::DateTime(*ticks);
}

DataType DateDiffType(std::span<const DataType> args, std::string_view datepart) {
  CheckDateArity(args, "datediff", 2);
  PartOf(datepart, "datediff");
  RequireDate(args, 0, "datediff");
  RequireDate(args, 1, "datediff");
  return kInt;
}

Value DateDiffEval(std::span<const Value> args, const DataType&, std::string_view datepart, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(TypeId::Int);
  int64_t diff = datetime::DateDiff(PartOf(datepart, "datediff"), TicksOf(args[0], context), TicksOf(args[1], context));
  if (!IntegerFits(TypeId::Int, diff)) Throw(ErrorCode::kDateDiffOverflow);
  return Value::Integer(TypeId::Int, diff);
}

// ---------------------------------------------------------------- DATEPART, DATENAME, YEAR, MONTH, DAY

DataType DatePartType(std::span<const DataType> args, std::string_view datepart) {
  CheckDateArity(args, "datepart", 1);
  PartOf(datepart, "datepart");
  RequireDate(args, 0, "datepart");
  return kInt;
}

Value DatePartEval(std::span<const Value> args, const DataType&, std::string_view datepart, EvalContext& context) {
  if (args[0].is_null) return Value::Null(TypeId::Int);
  return Value::Integer(TypeId::Int, datetime::DatePart(PartOf(datepart, "datepart"), TicksOf(args[0], context)));
}

DataType DateNameType(std::span<const DataType> args, std::string_view datepart) {
  CheckDateArity(args, "datename", 1);
  PartOf(datepart, "datename");
  RequireDate(args, 0, "datename");
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
  int64_t number = datetime::DatePart(part, TicksOf(args[0], context));
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

Value CalendarPart(const Value& arg, EvalContext& context, int datetime::Parts::*field) {
  if (arg.is_null) return Value::Null(TypeId::Int);
  return Value::Integer(TypeId::Int, datetime::ToParts(TicksOf(arg, context)).*field);
}

Value YearEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  return CalendarPart(args[0], context, &datetime::Parts::year);
}

Value MonthEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  return CalendarPart(args[0], context, &datetime::Parts::month);
}

Value DayEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  return CalendarPart(args[0], context, &datetime::Parts::day);
}

constexpr std::array kFunctions = {
    ScalarFunction{"GETDATE", 0, 0, NowType<"getdate">, NowEval},
    ScalarFunction{"CURRENT_TIMESTAMP", 0, 0, NowType<"current_timestamp">, NowEval},
    ScalarFunction{"DATEADD", 2, 2, DateAddType, DateAddEval},
    ScalarFunction{"DATEDIFF", 2, 2, DateDiffType, DateDiffEval},
    ScalarFunction{"DATEPART", 1, 1, DatePartType, DatePartEval},
    ScalarFunction{"DATENAME", 1, 1, DateNameType, DateNameEval},
    ScalarFunction{"YEAR", 1, 1, CalendarPartType<"year">, YearEval},
    ScalarFunction{"MONTH", 1, 1, CalendarPartType<"month">, MonthEval},
    ScalarFunction{"DAY", 1, 1, CalendarPartType<"day">, DayEval},
};

}  // namespace

std::span<const ScalarFunction> DateFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
