// ISNULL, COALESCE, NULLIF and CHOOSE: picking one of several values or a
// NULL, typed the way SQL Server types them (ISNULL by its first argument,
// COALESCE and CHOOSE by all their choices).
#include <array>

#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

// SQL Server types ISNULL by its first argument, so the replacement is
// converted to it (and cut to its length).
DataType IsNullType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "isnull", 2, 2);
  if (args[0].id != TypeId::Null) return args[0];
  return args[1].id == TypeId::Null ? DataType{TypeId::Int} : args[1];
}

Value IsNullEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (!args[0].is_null) return args[0];  // already of the result type
  return CastValue(args[1], result, context.arena);
}

DataType CoalesceType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "coalesce", 2, 2147483647);
  DataType type{TypeId::Null};
  for (const DataType& arg : args) type = CommonType(type, arg);
  if (type.id == TypeId::Null) Throw(ErrorCode::kCoalesceAllNull);
  return type;
}

Value CoalesceEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  for (const Value& v : args) {
    if (!v.is_null) return CastValue(v, result, context.arena);
  }
  return Value::Null(result.id);
}

DataType NullIfType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "nullif", 2, 2);
  if (args[0].id == TypeId::Null) Throw(ErrorCode::kNullIfFirstArgumentNull);
  return args[0];
}

DataType TypeOfValue(const Value& v) {
  return {v.type, v.precision, v.scale, IsString(v.type) ? DataType::kMaxLength : 0};
}

Value NullIfEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (args[0].is_null || args[1].is_null) return CastValue(args[0], result, context.arena);
  DataType common = CommonType(TypeOfValue(args[0]), TypeOfValue(args[1]));
  Value a = CastValue(args[0], common, context.arena);
  Value b = CastValue(args[1], common, context.arena);
  if (CompareValues(a, b) == 0) return Value::Null(result.id);
  return CastValue(args[0], result, context.arena);
}

// CHOOSE(index, v1, v2 ...): the value of highest precedence decides the type.
DataType ChooseType(std::span<const DataType> args, std::string_view) {
  if (args.size() < 2) Throw(ErrorCode::kFunctionArgumentRange, {"choose", "2", "254"});
  if (!IsNumeric(args[0].id) && !IsString(args[0].id) && args[0].id != TypeId::Null) {
    Throw(ErrorCode::kInvalidArgumentType, {TypeDisplayName(args[0].id), "1", "choose"});
  }
  DataType type{TypeId::Null};
  for (const DataType& arg : args.subspan(1)) type = CommonType(type, arg);
  return type.id == TypeId::Null ? DataType{TypeId::Int} : type;
}

// An index outside 1..n (or NULL) gives NULL.
Value ChooseEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(result.id);
  const int64_t index = IntegerOf(args[0], context);
  if (index < 1 || index >= static_cast<int64_t>(args.size())) return Value::Null(result.id);
  return CastValue(args[index], result, context.arena);
}

constexpr std::array kFunctions = {
    ScalarFunction{"ISNULL", 2, 2, IsNullType, IsNullEval},
    ScalarFunction{"COALESCE", 2, 2147483647, CoalesceType, CoalesceEval},
    ScalarFunction{"NULLIF", 2, 2, NullIfType, NullIfEval},
    ScalarFunction{"CHOOSE", 2, 2147483647, ChooseType, ChooseEval},
};

}  // namespace

std::span<const ScalarFunction> NullFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
