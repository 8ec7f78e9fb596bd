// EXEC of a built-in procedure: its constant arguments evaluated, then the
// procedure run under the statement's lock. Another system procedure is
// refused by name (50001), any other name is unknown (2812).
#include "engine/catalog/names.h"
#include "engine/common/ascii.h"
#include "engine/common/errors.h"
#include "engine/execution/builtin_procedures.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/statement_runner.h"

namespace orv::engine {

void StatementRunner::RunBuiltinCall(const ast::CallBuiltinStmt& statement, Binder& binder, BindContext& bind_context,
                                     ExecContext& context) {
  const std::string name = JoinName(statement.procedure);
  const BuiltinProcedure procedure = FindBuiltinProcedure(name);
  if (!procedure) {
    // SQL Server's own procedures exist there: refused by name here, not unknown.
    const std::string lower = AsciiLower(statement.procedure.back());
    if (lower.rfind("sp_", 0) == 0 || lower.rfind("xp_", 0) == 0) {
      Throw(ErrorCode::kNotSupported, {"EXEC " + statement.procedure.back()}, statement.line);
    }
    Throw(ErrorCode::kProcedureNotFound, {name}, statement.line);
  }
  std::vector<ProcedureArgument> arguments;
  Value none;
  for (const auto& argument : statement.arguments) {
    BoundExprPtr bound = binder.BindScalar(*argument.value);
    arguments.push_back({argument.name, Evaluate(*bound, EvalRow{&none, nullptr}, context)});
  }
  procedure(ProcedureCall{arguments, binder, bind_context, result_, statement.line});
}

}  // namespace orv::engine
