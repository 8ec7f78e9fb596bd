// Procedures: CREATE/ALTER/DROP PROCEDURE, EXEC of a procedure (arguments by
// position or by name, OUTPUT parameters, the return status), of a built-in,
// of a string (EXEC ('...')) and sp_executesql with its parameter list. A
// call runs one level down, with variables of its own, at most 32 deep.
#include "engine/catalog/names.h"
#include "engine/common/ascii.h"
#include "engine/common/datetime.h"
#include "engine/common/errors.h"
#include "engine/execution/nested_error.h"
#include "engine/execution/statement_runner.h"
#include "engine/execution/transactions.h"
#include "engine/parser/parser.h"

namespace orv::engine {
namespace {

const DataType kStatementText{TypeId::NVarChar, 0, 0, DataType::kMaxLength};

// A procedure call or dynamic SQL: one level of the nesting views share
// (217 past 32) and one of @@NESTLEVEL.
class ProcedureLevel {
 public:
  ProcedureLevel(SessionState& session, int line) : scope_(session.nesting, line), state_(session.procedural) {
    ++state_.nesting;
  }
  ~ProcedureLevel() { --state_.nesting; }
  ProcedureLevel(const ProcedureLevel&) = delete;
  ProcedureLevel& operator=(const ProcedureLevel&) = delete;

 private:
  NestingScope scope_;
  ProceduralState& state_;
};

// Compile errors (syntax, names that do not resolve) end only the scope they
// happen in; the caller goes on with its next statement.
bool EndsOnlyScope(const SqlError& error) {
  const int number = error.number();
  return error.severity() == 15 || number == 207 || number == 208 || number == 4104 || number == 2812;
}

// SET options a procedure changes are restored when it ends, however it ends.
class SavedOptions {
 public:
  explicit SavedOptions(SessionState& session)
      : session_(session),
        nocount_(session.nocount),
        xact_abort_(session.transaction.xact_abort),
        isolation_(session.isolation) {}
  ~SavedOptions() {
    session_.nocount = nocount_;
    session_.transaction.xact_abort = xact_abort_;
    session_.isolation = isolation_;
  }
  SavedOptions(const SavedOptions&) = delete;
  SavedOptions& operator=(const SavedOptions&) = delete;

 private:
  SessionState& session_;
  bool nocount_;
  bool xact_abort_;
  IsolationLevel isolation_;
};

ast::CreateProcedureStmt& ProcedureOf(ast::Batch& batch, int line) {
  if (batch.statements.size() != 1 || batch.statements[0]->kind != ast::StmtKind::CreateProcedure) {
    Throw(ErrorCode::kInternal, {"a stored procedure's text does not define it"}, line);
  }
  return static_cast<ast::CreateProcedureStmt&>(*batch.statements[0]);
}

}  // namespace

void StatementRunner::RunCreateProcedure(const ast::CreateProcedureStmt& statement) {
  const std::string& name = statement.name.back();
  if (name.starts_with('#')) Throw(ErrorCode::kNotSupported, {"A temporary procedure"}, statement.line);
  StatementLock lock(catalog_, session_, true);
  const ProcedureDefinition* existing = catalog_.routines().Find(name);
  if (!existing) {
    if (!statement.create) Throw(ErrorCode::kInvalidObjectName, {JoinName(statement.name)}, statement.line);
    catalog_.CheckFree(name);
  } else if (!statement.alter) {
    Throw(ErrorCode::kObjectAlreadyExists, {name}, statement.line);
  }
  const int64_t now = datetime::Now();
  session_.transaction.journal.PutProcedure(
      catalog_, ProcedureDefinition{name, statement.text, existing ? existing->object_id : Catalog::NewObjectId(),
                                    existing ? existing->create_date : now, now});
  FinishStatement(catalog_, session_);
}

void StatementRunner::RunDropProcedure(const ast::DropTableStmt& statement) {
  StatementLock lock(catalog_, session_, true);
  for (const ast::Name& name : statement.names) {
    if (!session_.transaction.journal.DropProcedure(catalog_, name.back()) && !statement.if_exists) {
      Throw(ErrorCode::kCannotDropObject, {"procedure", JoinName(name)}, statement.line);
    }
  }
  FinishStatement(catalog_, session_);
}

void StatementRunner::RunExec(const ast::ExecStmt& statement) {
  if (statement.dynamic_text) {
    RunDynamic(statement);
    return;
  }
  const std::string& name = statement.procedure.back();
  int status = 0;
  if (NamesEqual(name, "sp_executesql")) {
    status = RunExecutesql(statement);
  } else if (const BuiltinProcedure builtin = FindBuiltinProcedure(name)) {
    RunBuiltin(builtin, statement);
  } else {
    ProcedureDefinition definition;
    {
      StatementLock lock(catalog_, session_, false);
      const ProcedureDefinition* found = catalog_.routines().Find(name);
      if (!found) RefuseUnknownProcedure(statement);
      definition = *found;
    }
    const int transactions_before = session_.transaction.count;
    const bool ran = RunNested(definition.name, statement.line, [&] {
      ast::Batch parsed = ParseBatch(definition.text);
      status = CallProcedure(ProcedureOf(parsed, statement.line), definition.name, statement.arguments,
                             statement.line);
    });
    if (!ran) return;
    CheckTransactionCountAfterExecute(session_, transactions_before, statement.line);
  }
  if (!statement.return_status.empty()) {
    Variable* target = variables_.Find(statement.return_status);
    if (!target || target->table) Throw(ErrorCode::kMustDeclareVariable, {statement.return_status}, statement.line);
    StringArena arena;
    target->Assign(CastValue(Value::Integer(TypeId::Int, status), target->type, arena));
  }
  session_.procedural.error = 0;
}

bool StatementRunner::RunNested(const std::string& procedure, int line, const std::function<void()>& body) {
  try {
    ProcedureLevel level(session_, line);
    body();
    return true;
  } catch (const SqlError& error) {
    const auto* already = dynamic_cast<const NestedError*>(&error);
    NestedError nested(error, already ? already->procedure() : procedure, already && already->ends_batch());
    session_.procedural.error = error.number();
    if (try_depth_ > 0 || nested.ends_batch() || !EndsOnlyScope(error)) throw nested;
    result_.AddError(nested);
    return false;
  }
}

int StatementRunner::CallProcedure(ast::CreateProcedureStmt& procedure, const std::string& name,
                                   std::span<const ast::ExecStmt::Argument> arguments, int line) {
  const std::vector<ast::ParameterDef>& parameters = procedure.parameters;
  if (parameters.empty() && !arguments.empty()) Throw(ErrorCode::kNoParametersExpected, {name}, line);
  // Which argument each parameter receives.
  std::vector<const ast::ExecStmt::Argument*> given(parameters.size(), nullptr);
  size_t position = 0;
  bool named = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const ast::ExecStmt::Argument& argument = arguments[i];
    size_t index = position;
    if (argument.parameter.empty()) {
      if (named) Throw(ErrorCode::kNamedThenPositional, {std::to_string(i + 1)}, line);
      if (position >= parameters.size()) Throw(ErrorCode::kTooManyArguments, {name}, line);
      ++position;
    } else {
      named = true;
      index = 0;
      while (index < parameters.size() && !NamesEqual(parameters[index].name, argument.parameter)) ++index;
      if (index == parameters.size()) Throw(ErrorCode::kNotAParameter, {argument.parameter, name}, line);
      if (given[index]) Throw(ErrorCode::kParameterDeclaredTwice, {argument.parameter}, line);
    }
    given[index] = &argument;
  }
  StatementRunner inner(catalog_, session_, result_);
  inner.try_depth_ = try_depth_;
  inner.procedure_ = name;
  StringArena arena;
  std::vector<std::pair<Variable*, Variable*>> outputs;  // (caller's variable, parameter)
  for (size_t k = 0; k < parameters.size(); ++k) {
    const ast::ParameterDef& parameter = parameters[k];
    const DataType type = AtLine(line, [&] { return ResolveTypeName(parameter.type); });
    Variable& variable = inner.variables_.Add(parameter.name, type);
    const ast::ExecStmt::Argument* argument = given[k];
    if (argument && argument->output) {
      if (!parameter.output) Throw(ErrorCode::kNotOutputParameter, {parameter.name}, line);
      if (argument->value && argument->value->kind == ast::ExprKind::Variable) {
        const auto& source = static_cast<const ast::VariableExpr&>(*argument->value);
        if (Variable* caller = variables_.Find(source.name)) outputs.emplace_back(caller, &variable);
      }
    }
    if (argument && argument->value) {
      variable.Assign(EvaluateScalar(*argument->value, &type, arena));
    } else if (parameter.default_value) {
      variable.Assign(inner.EvaluateScalar(*parameter.default_value, &type, arena));
    } else {
      Throw(ErrorCode::kParameterNotSupplied, {name, parameter.name}, line);
    }
  }
  {
    SavedOptions options(session_);
    inner.RunBody(procedure.body);
  }
  for (auto& [caller, parameter] : outputs) caller->Assign(CastValue(parameter->value, caller->type, arena));
  return inner.return_status_;
}

void StatementRunner::RunDynamic(const ast::ExecStmt& statement) {
  StringArena arena;
  const Value text = EvaluateScalar(*statement.dynamic_text, &kStatementText, arena);
  if (text.is_null) return;
  const std::string batch(text.s());
  RunNested("", statement.line, [&] {
    ast::Batch parsed = ParseBatch(batch);
    CheckBatch(parsed);
    StatementRunner inner(catalog_, session_, result_);
    inner.try_depth_ = try_depth_;
    inner.RunBody(parsed.statements);
  });
}

// sp_executesql @statement, @params, @p1 = v1 ...: the statement runs as a
// procedure whose parameters the definition list declares.
int StatementRunner::RunExecutesql(const ast::ExecStmt& statement) {
  std::span<const ast::ExecStmt::Argument> arguments = statement.arguments;
  if (arguments.empty() || !arguments[0].value) {
    Throw(ErrorCode::kExecutesqlNeedsNtext, {"@statement"}, statement.line);
  }
  StringArena arena;
  auto text_of = [&](const ast::ExecStmt::Argument& argument, std::string_view parameter) {
    const Value value = EvaluateScalar(*argument.value, nullptr, arena);
    if (value.type != TypeId::NVarChar && value.type != TypeId::NChar) {
      Throw(ErrorCode::kExecutesqlNeedsNtext, {parameter}, statement.line);
    }
    return value.is_null ? std::string() : std::string(value.s());
  };
  const std::string body = text_of(arguments[0], "@statement");
  std::string definitions = arguments.size() > 1 && arguments[1].value ? text_of(arguments[1], "@params") : "";
  // The definitions go on the statement's first line, so its lines count from 1.
  for (char& c : definitions) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const std::string text = "CREATE PROCEDURE sp_executesql " + definitions + " AS " + body;
  int status = 0;
  RunNested("", statement.line, [&] {
    ast::Batch parsed = ParseBatch(text);
    status = CallProcedure(ProcedureOf(parsed, statement.line), "sp_executesql",
                           arguments.subspan(std::min<size_t>(arguments.size(), 2)), statement.line);
  });
  return status;
}

void StatementRunner::RunBuiltin(BuiltinProcedure procedure, const ast::ExecStmt& statement) {
  StringArena arena;
  std::vector<ProcedureArgument> arguments;
  for (const auto& argument : statement.arguments) {
    arguments.push_back(
        {argument.parameter, argument.value ? EvaluateScalar(*argument.value, nullptr, arena) : Value()});
  }
  StatementLock lock(catalog_, session_, false);
  BindContext bind_context{catalog_, session_, arena, false, &variables_};
  Binder binder(bind_context);
  procedure(ProcedureCall{arguments, binder, bind_context, result_, statement.line});
}

void StatementRunner::RefuseUnknownProcedure(const ast::ExecStmt& statement) {
  // SQL Server's own procedures exist there: refused by name here, not unknown.
  const std::string lower = AsciiLower(statement.procedure.back());
  if (lower.starts_with("sp_") || lower.starts_with("xp_")) {
    Throw(ErrorCode::kNotSupported, {"EXEC " + statement.procedure.back()}, statement.line);
  }
  Throw(ErrorCode::kProcedureNotFound, {JoinName(statement.procedure)}, statement.line);
}

}  // namespace orv::engine
