// Runs the statements of a batch one by one, each bound when it is reached
// (so a batch may create a table and use it in its next statement), each
// atomic: its rows are computed and checked before any table changes, and
// what it changed is undone through the session's change journal if it fails.
// Locks and transactions: transactions.h.
#pragma once

#include <functional>
#include <span>

#include "engine/binder/binder.h"
#include "engine/catalog/catalog.h"
#include "engine/catalog/session_state.h"
#include "engine/execution/batch_result.h"
#include "engine/execution/builtin_procedures.h"
#include "engine/execution/exec_context.h"

namespace orv::engine {

class StatementRunner {
 public:
  StatementRunner(Catalog& catalog, SessionState& session, BatchResult& result)
      : catalog_(catalog), session_(session), result_(result) {}

  // Runs a whole batch or procedure body: its variables are declared (NULL)
  // before the first statement, as SQL Server scopes them to the batch; a
  // RETURN ends it.
  void RunBody(std::vector<ast::StmtPtr>& statements);

  // Records an error that ends only the statement in the batch result and
  // returns; raises one that ends the batch. What earlier statements did stays.
  void Run(ast::Stmt& statement);

  // Checks made on the whole batch before it runs, as SQL Server's compiler
  // does: one batch may not create the same temporary table twice (2714),
  // even with a DROP in between.
  static void CheckBatch(const ast::Batch& batch);

 private:
  // One statement under its lock, with its own arena.
  void RunLocked(ast::Stmt& statement);
  void RunSelect(const ast::SelectStmt& statement, Binder& binder, ExecContext& context);
  void RunSelectInto(const ast::SelectStmt& statement, const ast::Name& into, Binder& binder, ExecContext& context);
  void RunInsert(const ast::InsertStmt& statement, Binder& binder, ExecContext& context);
  void RunUpdate(const ast::UpdateStmt& statement, Binder& binder, ExecContext& context);
  void RunDelete(const ast::DeleteStmt& statement, Binder& binder, ExecContext& context);
  void RunBulkInsert(const ast::BulkInsertStmt& statement, Binder& binder, ExecContext& context);
  void RunCreateTable(ast::CreateTableStmt& statement);
  void RunDrop(const ast::DropTableStmt& statement);
  void RunCreateView(const ast::CreateViewStmt& statement, Binder& binder);
  void RunAlterTable(const ast::AlterTableStmt& statement, Binder& binder, ExecContext& context);
  void RunScopedConfiguration(const ast::ScopedConfigurationStmt& statement);
  static ColumnSchema AlteredColumnSchema(const ast::ColumnDef& definition, int number, int line);
  void RunIf(ast::IfStmt& statement);
  void RunSet(const ast::Stmt& statement);

  void RowsAffected(size_t rows);
  static std::shared_ptr<Table> NewTable(ast::CreateTableStmt& statement);

  // ------------------------------------------------ procedural (run_procedural.cpp)
  enum class Flow { Next, Break, Continue, Return };
  // Runs `statements` until one breaks the flow.
  void RunList(std::vector<ast::StmtPtr>& statements);
  void Predeclare(const ast::Stmt& statement);
  // Procedural statements without a table lock of their own; false for the others.
  bool RunProcedural(ast::Stmt& statement);
  void RunDeclare(const ast::DeclareStmt& statement);
  void RunSetVariable(const ast::SetVariableStmt& statement);
  void RunPrint(const ast::PrintStmt& statement);
  void RunWhile(ast::WhileStmt& statement);
  void RunReturn(const ast::ReturnStmt& statement);
  void RunSelectAssign(const ast::SelectStmt& statement, Binder& binder, ExecContext& context);
  // Binds and evaluates an expression outside any query, converted to
  // `target` when given, under a shared lock.
  Value EvaluateScalar(const ast::Expr& expr, const DataType* target, StringArena& arena);
  bool EvaluateCondition(const ast::Expr& condition);
  void NoteIdentity(int64_t last);

  // ------------------------------------------------ errors (run_errors.cpp)
  void RunTryCatch(ast::TryCatchStmt& statement);
  void RunRaiserror(const ast::RaiserrorStmt& statement);
  void RunThrow(const ast::ThrowStmt& statement);

  // ------------------------------------------------ procedures (run_procedure.cpp)
  void RunCreateProcedure(const ast::CreateProcedureStmt& statement);
  void RunDropProcedure(const ast::DropTableStmt& statement);
  void RunExec(const ast::ExecStmt& statement);
  void RunDynamic(const ast::ExecStmt& statement);
  int RunExecutesql(const ast::ExecStmt& statement);
  void RunBuiltin(BuiltinProcedure procedure, const ast::ExecStmt& statement);
  // Raises 2812, or 50001 for a system procedure the engine does not provide.
  [[noreturn]] void RefuseUnknownProcedure(const ast::ExecStmt& statement);
  // Calls a procedure parsed from its text; returns its return status.
  int CallProcedure(ast::CreateProcedureStmt& procedure, const std::string& name,
                    std::span<const ast::ExecStmt::Argument> arguments, int line);
  // Runs `body` one level down (a procedure, dynamic SQL) as `procedure`
  // (empty for dynamic SQL); an error leaving it is marked as coming from
  // below. Returns false when it failed and the caller goes on.
  bool RunNested(const std::string& procedure, int line, const std::function<void()>& body);

  Catalog& catalog_;
  SessionState& session_;
  BatchResult& result_;
  Variables variables_;
  Flow flow_ = Flow::Next;
  int try_depth_ = 0;              // TRY blocks around the statement running, here or in a caller
  std::string procedure_;          // the procedure being run; empty for a batch
  int return_status_ = 0;          // RETURN n of a procedure
};

}  // namespace orv::engine
