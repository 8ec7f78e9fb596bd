// TYPE_ID(name) and TYPE_NAME(id): the built-in types by the names and
// user type ids sys.types lists for them (numeric and sysname beside the
// types they stand for). A type this engine does not have is NULL.
#include <array>
#include <string>

#include "engine/common/ascii.h"
#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

struct BuiltInType {
  std::string_view name;
  int user_type_id;
};

constexpr std::array<BuiltInType, 18> kTypes = {{
    {"date", 40},      {"time", 41},     {"datetime2", 42}, {"tinyint", 48},  {"smallint", 52},
    {"int", 56},       {"datetime", 61}, {"float", 62},     {"money", 60},    {"bit", 104},
    {"decimal", 106},  {"numeric", 108}, {"bigint", 127},   {"varchar", 167}, {"char", 175},
    {"nvarchar", 231}, {"nchar", 239},   {"sysname", 256},
}};

const DataType kSysname{TypeId::NVarChar, 0, 0, 128};

DataType TypeIdType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "type_id", 1, 1);
  return {TypeId::Int};
}

DataType TypeNameType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "type_name", 1, 1);
  RequireNumeric(args, 0, "type_name");
  return kSysname;
}

Value TypeIdEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  std::string_view name = TextOf(args[0], context);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  for (const BuiltInType& type : kTypes) {
    if (EqualsIgnoreCase(type.name, name)) return Value::Integer(TypeId::Int, type.user_type_id);
  }
  return Value::Null(result.id);
}

Value TypeNameEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  const int64_t id = IntegerOf(args[0], context);
  for (const BuiltInType& type : kTypes) {
    if (type.user_type_id == id) return Value::String(TypeId::NVarChar, type.name);
  }
  return Value::Null(result.id);
}

constexpr std::array kFunctions = {
    ScalarFunction{"TYPE_ID", 1, 1, TypeIdType, TypeIdEval},
    ScalarFunction{"TYPE_NAME", 1, 1, TypeNameType, TypeNameEval},
};

}  // namespace

std::span<const ScalarFunction> TypeFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
