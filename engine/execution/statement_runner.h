// Runs the statements of a batch one by one, each bound when it is reached
// (so a batch may create a table and use it in its next statement), each
// atomic: its rows are computed and checked before any table changes. Base
// objects are locked per statement: shared to read, exclusive to change.
#pragma once

#include "engine/binder/binder.h"
#include "engine/catalog/catalog.h"
#include "engine/catalog/session_state.h"
#include "engine/execution/batch_result.h"
#include "engine/execution/exec_context.h"

namespace orv::engine {

class StatementRunner {
 public:
  StatementRunner(Catalog& catalog, SessionState& session, BatchResult& result)
      : catalog_(catalog), session_(session), result_(result) {}

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
  void RunCreateTable(ast::CreateTableStmt& statement);
  void RunDrop(const ast::DropTableStmt& statement);
  void RunCreateView(const ast::CreateViewStmt& statement, Binder& binder);
  void RunIf(ast::IfStmt& statement);
  void RunSet(const ast::Stmt& statement);

  void RowsAffected(size_t rows);

  Catalog& catalog_;
  SessionState& session_;
  BatchResult& result_;
};

}  // namespace orv::engine
