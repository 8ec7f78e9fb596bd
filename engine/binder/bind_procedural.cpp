// Binding of what a batch keeps between statements: local variables (read
// when evaluated, so row-by-row assignment sees each new value), table
// variables, the @@ values of the connection and the ERROR_ functions of a
// CATCH block, which are fixed for the statement and bound as constants.
#include <algorithm>
#include <array>

#include "engine/binder/binder.h"
#include "engine/binder/session_values.h"
#include "engine/common/ascii.h"
#include "engine/common/errors.h"

namespace orv::engine {
namespace {

const DataType kInt{TypeId::Int};
const DataType kIdentityType{TypeId::Decimal, 38, 0, 0};

BoundExprPtr IntConstant(int64_t value, int line) {
  return MakeExpr<bound::Constant>(kInt, false, line, Value::Integer(TypeId::Int, value));
}

BoundExprPtr IdentityConstant(const std::optional<int64_t>& value, int line) {
  return MakeExpr<bound::Constant>(kIdentityType, true, line,
                                   value ? Value::Decimal(*value, 38, 0) : Value::Null(TypeId::Decimal));
}

BoundExprPtr TextConstant(std::string_view text, int length, int line, StringArena& arena) {
  return MakeExpr<bound::Constant>(DataType{TypeId::NVarChar, 0, 0, length}, false, line,
                                   Value::String(TypeId::NVarChar, arena.Copy(text)));
}

}  // namespace

BoundExprPtr Binder::BindVariable(const ast::VariableExpr& expr) {
  const ProceduralState& state = context_.session.procedural;
  const std::string name = AsciiUpper(expr.name);
  if (name == "@@ROWCOUNT") return IntConstant(state.rowcount, expr.line);
  if (name == "@@ERROR") return IntConstant(state.error, expr.line);
  if (name == "@@NESTLEVEL") return IntConstant(state.nesting, expr.line);
  if (name == "@@IDENTITY") return IdentityConstant(state.identity, expr.line);
  if (name == "@@SPID") {
    return MakeExpr<bound::Constant>(DataType{TypeId::SmallInt}, false, expr.line,
                                     Value::Integer(TypeId::SmallInt, state.spid));
  }
  if (name == "@@VERSION") {
    return TextConstant("Orvalent embedded T-SQL engine 1.0", 300, expr.line, context_.arena);
  }
  if (BoundExprPtr system = BindSystemVariable(name, expr.line)) return system;
  if (auto value = SessionVariable(expr.name, context_.session)) {
    return MakeExpr<bound::Constant>(DataType{value->type}, false, expr.line, *value);
  }
  Variable* variable = context_.variables ? context_.variables->Find(expr.name) : nullptr;
  if (!variable || variable->table) Throw(ErrorCode::kMustDeclareVariable, {expr.name}, expr.line);
  return MakeExpr<bound::Variable>(variable->type, true, expr.line, &variable->value, variable->name);
}

BoundExprPtr Binder::BindSessionFunction(const ast::FunctionExpr& expr) {
  static constexpr std::array<std::string_view, 7> kNames = {
      "ERROR_NUMBER", "ERROR_SEVERITY", "ERROR_STATE", "ERROR_LINE", "ERROR_MESSAGE", "ERROR_PROCEDURE",
      "SCOPE_IDENTITY"};
  if (std::find(kNames.begin(), kNames.end(), expr.name) == kNames.end()) return nullptr;
  if (!expr.args.empty()) Throw(ErrorCode::kWrongArgumentCount, {AsciiLower(expr.name), "0"}, expr.line);
  if (expr.name == "SCOPE_IDENTITY") {
    return IdentityConstant(context_.variables ? context_.variables->scope_identity : std::nullopt, expr.line);
  }
  const std::vector<CaughtError>& handling = context_.session.procedural.handling;
  const bool is_text = expr.name == "ERROR_MESSAGE" || expr.name == "ERROR_PROCEDURE";
  const DataType type = is_text ? DataType{TypeId::NVarChar, 0, 0, expr.name == "ERROR_MESSAGE" ? 4000 : 128} : kInt;
  // Outside a CATCH block they are NULL; so is ERROR_PROCEDURE outside a procedure.
  if (handling.empty() || (expr.name == "ERROR_PROCEDURE" && handling.back().procedure.empty())) {
    return MakeExpr<bound::Constant>(type, true, expr.line, Value::Null(type.id));
  }
  const CaughtError& error = handling.back();
  if (expr.name == "ERROR_MESSAGE") return TextConstant(error.message, 4000, expr.line, context_.arena);
  if (expr.name == "ERROR_PROCEDURE") return TextConstant(error.procedure, 128, expr.line, context_.arena);
  if (expr.name == "ERROR_NUMBER") return IntConstant(error.number, expr.line);
  if (expr.name == "ERROR_SEVERITY") return IntConstant(error.severity, expr.line);
  if (expr.name == "ERROR_STATE") return IntConstant(error.state, expr.line);
  return IntConstant(error.line, expr.line);
}

std::shared_ptr<Table> Binder::LookupTableVariable(const std::string& name, int line) const {
  Variable* variable = context_.variables ? context_.variables->Find(name) : nullptr;
  if (!variable || !variable->table) Throw(ErrorCode::kMustDeclareTableVariable, {name}, line);
  return variable->table;
}

}  // namespace orv::engine
