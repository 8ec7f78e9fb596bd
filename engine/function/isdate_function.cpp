// ISDATE: 1 when its argument is text that converts to datetime (or is a
// datetime already), 0 otherwise. NULL and numbers are 0; the newer date and
// time types are refused as SQL Server refuses them.
#include <array>

#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

DataType IsDateType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "isdate", 1, 1);
  const TypeId id = args[0].id;
  if (id == TypeId::Date || id == TypeId::Time || id == TypeId::DateTime2) {
    Throw(ErrorCode::kInvalidArgumentType, {TypeDisplayName(id), "1", "isdate"});
  }
  return {TypeId::Int};
}

Value IsDateEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  const Value& v = args[0];
  bool valid = false;
  if (!v.is_null) {
    if (v.type == TypeId::DateTime) {
      valid = true;
    } else if (IsString(v.type)) {
      // Anything left over after a date (1995-10-1a), or a fraction finer
      // than datetime keeps, fails the conversion and so is no date.
      valid = !TryCastValue(v, {TypeId::DateTime}, context.arena).is_null;
    }
  }
  return Value::Integer(TypeId::Int, valid ? 1 : 0);
}

constexpr std::array kFunctions = {
    ScalarFunction{"ISDATE", 1, 1, IsDateType, IsDateEval},
};

}  // namespace

std::span<const ScalarFunction> IsDateFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
