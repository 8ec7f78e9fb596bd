// Values of expressions that read no row; see statement_value.h.
#include "engine/binder/statement_value.h"

namespace orv::engine {

std::optional<Value> StatementValue(const BoundExpr& expr, StringArena& arena) {
  if (const auto* constant = expr.As<bound::Constant>()) return constant->value;
  if (const auto* variable = expr.As<bound::Variable>()) return *variable->value;
  if (const auto* cast = expr.As<bound::Cast>()) {
    std::optional<Value> operand = StatementValue(*cast->operand, arena);
    if (!operand) return std::nullopt;
    return cast->is_try ? TryCastValue(*operand, expr.type, arena, cast->style)
                        : CastValue(*operand, expr.type, arena, cast->style);
  }
  if (const auto* function = expr.As<bound::Function>()) {
    std::vector<Value> arguments;
    for (const auto& argument : function->arguments) {
      std::optional<Value> value = StatementValue(*argument, arena);
      if (!value) return std::nullopt;
      arguments.push_back(*value);
    }
    EvalContext context{arena};
    return function->function->eval(arguments, expr.type, function->datepart, context);
  }
  return std::nullopt;
}

}  // namespace orv::engine
