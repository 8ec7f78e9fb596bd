// Local variables and control flow: DECLARE, SET @v, SELECT @v = ..., PRINT,
// WHILE with BREAK/CONTINUE, RETURN. Each reads the catalog under a shared
// lock of its own, as any statement does; the flow of a block stops at the
// first BREAK, CONTINUE or RETURN and the enclosing WHILE or body takes it.
#include "engine/common/errors.h"
#include "engine/common/interrupt.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"
#include "engine/execution/statement_runner.h"
#include "engine/execution/transactions.h"
#include "engine/planner/planner.h"

namespace orv::engine {
namespace {

const DataType kPrintType{TypeId::NVarChar, 0, 0, 4000};

}  // namespace

void StatementRunner::RunBody(std::vector<ast::StmtPtr>& statements) {
  for (const auto& statement : statements) Predeclare(*statement);
  RunList(statements);
}

void StatementRunner::RunList(std::vector<ast::StmtPtr>& statements) {
  for (auto& statement : statements) {
    Run(*statement);
    if (flow_ != Flow::Next) return;
  }
}

// Variables exist from the start of their batch, whichever branch declares
// them; a table variable's table too.
void StatementRunner::Predeclare(const ast::Stmt& statement) {
  if (statement.kind != ast::StmtKind::Declare) {
    ast::ForEachInnerStatement(statement, [&](const ast::Stmt& inner) { Predeclare(inner); });
    return;
  }
  for (const auto& declared : static_cast<const ast::DeclareStmt&>(statement).variables) {
    if (declared.table) {
      variables_.Add(declared.name, DataType{}).table = NewTable(*declared.table);
    } else {
      variables_.Add(declared.name, AtLine(statement.line, [&] { return ResolveTypeName(declared.type); }));
    }
  }
}

bool StatementRunner::RunProcedural(ast::Stmt& statement) {
  switch (statement.kind) {
    case ast::StmtKind::Declare:
      RunDeclare(static_cast<const ast::DeclareStmt&>(statement));
      break;
    case ast::StmtKind::SetVariable:
      RunSetVariable(static_cast<const ast::SetVariableStmt&>(statement));
      break;
    case ast::StmtKind::Print:
      RunPrint(static_cast<const ast::PrintStmt&>(statement));
      break;
    case ast::StmtKind::While:
      RunWhile(static_cast<ast::WhileStmt&>(statement));
      return true;
    case ast::StmtKind::Break:
      flow_ = Flow::Break;
      return true;
    case ast::StmtKind::Continue:
      flow_ = Flow::Continue;
      return true;
    case ast::StmtKind::Return:
      RunReturn(static_cast<const ast::ReturnStmt&>(statement));
      return true;
    case ast::StmtKind::TryCatch:
      RunTryCatch(static_cast<ast::TryCatchStmt&>(statement));
      return true;
    case ast::StmtKind::Raiserror:
      RunRaiserror(static_cast<const ast::RaiserrorStmt&>(statement));
      return true;
    case ast::StmtKind::Throw:
      RunThrow(static_cast<const ast::ThrowStmt&>(statement));
      return true;
    case ast::StmtKind::CreateProcedure:
      RunCreateProcedure(static_cast<const ast::CreateProcedureStmt&>(statement));
      break;
    case ast::StmtKind::DropProcedure:
      RunDropProcedure(static_cast<const ast::DropTableStmt&>(statement));
      break;
    case ast::StmtKind::Exec:
      RunExec(static_cast<const ast::ExecStmt&>(statement));
      return true;
    default:
      return false;
  }
  session_.procedural.error = 0;
  return true;
}

Value StatementRunner::EvaluateScalar(const ast::Expr& expr, const DataType* target, StringArena& arena) {
  StatementLock lock(catalog_, session_, false);
  BindContext bind_context{catalog_, session_, arena, false, &variables_};
  Binder binder(bind_context);
  ExecContext context{catalog_, session_, arena, {}, {}, {}};
  BoundExprPtr bound = binder.BindScalar(expr);
  if (target) bound = AtLine(expr.line, [&] { return Convert(std::move(bound), *target); });
  PlanSubqueries(*bound, context.subquery_plans);
  Value none;
  return Evaluate(*bound, EvalRow{&none, nullptr}, context);
}

bool StatementRunner::EvaluateCondition(const ast::Expr& condition) {
  StringArena arena;
  return IsTrue(EvaluateScalar(condition, nullptr, arena));
}

void StatementRunner::RunDeclare(const ast::DeclareStmt& statement) {
  for (const auto& declared : statement.variables) {
    if (!declared.initial) continue;
    Variable& variable = *variables_.Find(declared.name);
    StringArena arena;
    variable.Assign(EvaluateScalar(*declared.initial, &variable.type, arena));
  }
}

void StatementRunner::RunSetVariable(const ast::SetVariableStmt& statement) {
  Variable* variable = variables_.Find(statement.name);
  if (!variable || variable->table) Throw(ErrorCode::kMustDeclareVariable, {statement.name}, statement.line);
  StringArena arena;
  variable->Assign(EvaluateScalar(*statement.value, &variable->type, arena));
  session_.procedural.rowcount = 1;
}

void StatementRunner::RunPrint(const ast::PrintStmt& statement) {
  StringArena arena;
  Value text = EvaluateScalar(*statement.value, &kPrintType, arena);
  result_.AddMessage(text.is_null ? std::string() : std::string(text.s()));
  session_.procedural.rowcount = 0;
}

void StatementRunner::RunWhile(ast::WhileStmt& statement) {
  while (EvaluateCondition(*statement.condition)) {
    CheckInterruptNow();  // a loop may run no query at all, so nothing else would look
    Run(*statement.body);
    if (flow_ == Flow::Return) return;
    const bool stop = flow_ == Flow::Break;
    flow_ = Flow::Next;
    if (stop) return;
  }
}

void StatementRunner::RunReturn(const ast::ReturnStmt& statement) {
  if (statement.value) {
    const DataType int_type{TypeId::Int};
    StringArena arena;
    Value status = EvaluateScalar(*statement.value, &int_type, arena);
    // A procedure returning NULL returns 0, with a warning in SQL Server.
    return_status_ = status.is_null ? 0 : static_cast<int>(status.i);
  }
  flow_ = Flow::Return;
}

// SELECT @a = x, @b = y FROM ...: each row assigns in turn, so the last row's
// values stay; no row leaves the variables as they were.
void StatementRunner::RunSelectAssign(const ast::SelectStmt& statement, Binder& binder, ExecContext& context) {
  const ast::QueryExpr& query_expr = *statement.query;
  if (!query_expr.select || !query_expr.select->into.empty()) {
    Throw(ErrorCode::kNotSupported, {"Assigning variables from a set operation or SELECT INTO"}, statement.line);
  }
  std::vector<Variable*> targets;
  for (const ast::SelectItem& item : query_expr.select->items) {
    if (item.assign_to.empty()) Throw(ErrorCode::kAssignmentWithRetrieval, {}, statement.line);
    Variable* variable = variables_.Find(item.assign_to);
    if (!variable || variable->table) Throw(ErrorCode::kMustDeclareVariable, {item.assign_to}, statement.line);
    targets.push_back(variable);
  }
  BoundQuery query = binder.BindQuery(query_expr, nullptr, nullptr, false);
  PlanPtr plan = PlanQuery(query, context.subquery_plans);
  size_t count = 0;
  auto assign = [&](const Value* row) {
    for (size_t i = 0; i < targets.size(); ++i) {
      targets[i]->Assign(CastValue(row[i], targets[i]->type, context.arena));
    }
    ++count;
  };
  StreamPlan(*plan, context, nullptr, assign);
  session_.procedural.rowcount = static_cast<int64_t>(count);
}

void StatementRunner::NoteIdentity(int64_t last) {
  session_.procedural.identity = last;
  variables_.scope_identity = last;
}

}  // namespace orv::engine
