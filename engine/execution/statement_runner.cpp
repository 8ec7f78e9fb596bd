// Statement dispatch, locking, IF and SET; the statements themselves are in
// the run_*.cpp files.
#include "engine/execution/statement_runner.h"

#include <algorithm>

#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/common/memory_budget.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/nested_error.h"
#include "engine/execution/transactions.h"
#include "engine/planner/planner.h"

namespace orv::engine {
namespace {

// The statement's OPTION (MAXDOP n), or -1.
int HintedMaxDop(const ast::Stmt& statement) {
  const ast::QueryExpr* query = nullptr;
  if (statement.kind == ast::StmtKind::Select) query = static_cast<const ast::SelectStmt&>(statement).query.get();
  if (statement.kind == ast::StmtKind::Insert) query = static_cast<const ast::InsertStmt&>(statement).query.get();
  return query ? query->max_dop : -1;
}

bool IsTempName(const ast::Name& name) { return !name.empty() && !name.back().empty() && name.back()[0] == '#'; }

// The table an alias of the FROM clause stands for, when the FROM names it.
const ast::Name* AliasTarget(const ast::TableRef* ref, const std::string& alias) {
  if (!ref) return nullptr;
  if (ref->kind == ast::TableRefKind::Named) {
    const auto& named = static_cast<const ast::NamedTableRef&>(*ref);
    return named.alias == alias ? &named.name : nullptr;
  }
  if (ref->kind == ast::TableRefKind::Join) {
    const auto& join = static_cast<const ast::JoinTableRef&>(*ref);
    if (const ast::Name* found = AliasTarget(join.left.get(), alias)) return found;
    return AliasTarget(join.right.get(), alias);
  }
  return nullptr;
}

bool ChangesTemp(const ast::Name& target, const ast::TableRef* from) {
  if (IsTempName(target)) return true;
  const ast::Name* aliased = target.empty() ? nullptr : AliasTarget(from, target.back());
  return aliased && IsTempName(*aliased);
}

// Statements that change a base table or view take the catalog exclusively.
bool NeedsExclusiveLock(const ast::Stmt& statement) {
  switch (statement.kind) {
    case ast::StmtKind::Select: {
      const ast::QueryExpr* query = static_cast<const ast::SelectStmt&>(statement).query.get();
      while (!query->select) query = query->left.get();
      return !query->select->into.empty() && !IsTempName(query->select->into);
    }
    case ast::StmtKind::Insert:
      return !IsTempName(static_cast<const ast::InsertStmt&>(statement).table);
    case ast::StmtKind::BulkInsert:
      return !IsTempName(static_cast<const ast::BulkInsertStmt&>(statement).table);
    case ast::StmtKind::Update: {
      const auto& update = static_cast<const ast::UpdateStmt&>(statement);
      return !ChangesTemp(update.target, update.from.get());
    }
    case ast::StmtKind::Delete: {
      const auto& remove = static_cast<const ast::DeleteStmt&>(statement);
      return !ChangesTemp(remove.target, remove.from.get());
    }
    case ast::StmtKind::Truncate:
      return !IsTempName(static_cast<const ast::TruncateStmt&>(statement).table);
    case ast::StmtKind::CreateTable:
      return !IsTempName(static_cast<const ast::CreateTableStmt&>(statement).table);
    case ast::StmtKind::DropTable:
    case ast::StmtKind::DropView:
      for (const ast::Name& name : static_cast<const ast::DropTableStmt&>(statement).names) {
        if (!IsTempName(name)) return true;
      }
      return false;
    case ast::StmtKind::CreateView:
    case ast::StmtKind::AlterScopedConfiguration:
      return true;
    case ast::StmtKind::AlterTable:
      return !IsTempName(static_cast<const ast::AlterTableStmt&>(statement).table);
    default:
      return false;
  }
}

IsolationLevel ParseIsolation(const std::string& level, int line) {
  if (level == "READ UNCOMMITTED") return IsolationLevel::ReadUncommitted;
  if (level == "READ COMMITTED") return IsolationLevel::ReadCommitted;
  if (level == "REPEATABLE READ") return IsolationLevel::RepeatableRead;
  if (level == "SERIALIZABLE") return IsolationLevel::Serializable;
  if (level == "SNAPSHOT") return IsolationLevel::Snapshot;
  Throw(ErrorCode::kNotSupported, {"The isolation level " + level}, line);
}

void CollectTempCreates(const ast::Stmt& statement, std::vector<const ast::CreateTableStmt*>& creates) {
  if (statement.kind == ast::StmtKind::CreateTable) {
    const auto& create = static_cast<const ast::CreateTableStmt&>(statement);
    if (IsTempName(create.table)) creates.push_back(&create);
    return;
  }
  ast::ForEachInnerStatement(statement, [&](const ast::Stmt& inner) { CollectTempCreates(inner, creates); });
}

}  // namespace

void StatementRunner::CheckBatch(const ast::Batch& batch) {
  std::vector<const ast::CreateTableStmt*> creates;
  for (const auto& statement : batch.statements) CollectTempCreates(*statement, creates);
  for (size_t i = 0; i < creates.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (NamesEqual(creates[i]->table.back(), creates[j]->table.back())) {
        Throw(ErrorCode::kObjectAlreadyExists, {creates[i]->table.back()}, creates[i]->line);
      }
    }
  }
}

void StatementRunner::RowsAffected(size_t rows) {
  session_.procedural.rowcount = static_cast<int64_t>(rows);
  if (session_.nocount) return;
  result_.AddMessage(rows == 1 ? "(1 row affected)" : "(" + std::to_string(rows) + " rows affected)");
}

void StatementRunner::Run(ast::Stmt& statement) {
  const size_t mark = session_.transaction.journal.mark();
  try {
    switch (statement.kind) {
      case ast::StmtKind::If:
        RunIf(static_cast<ast::IfStmt&>(statement));
        return;
      case ast::StmtKind::Block:
        RunList(static_cast<ast::BlockStmt&>(statement).statements);
        return;
      case ast::StmtKind::SetOption:
      case ast::StmtKind::SetIsolation:
        RunSet(statement);
        session_.procedural.rowcount = 0;  // as SQL Server's SET <option> does
        return;
      case ast::StmtKind::Transaction: {
        const auto& transaction = static_cast<const ast::TransactionStmt&>(statement);
        RunTransactionStatement(transaction, catalog_, session_);
        // BEGIN and COMMIT TRANSACTION reset @@ROWCOUNT; ROLLBACK and SAVE keep it.
        if (transaction.op == ast::TransactionStmt::Op::Begin || transaction.op == ast::TransactionStmt::Op::Commit) {
          session_.procedural.rowcount = 0;
        }
        return;
      }
      default:
        break;
    }
    if (RunProcedural(statement)) return;
    {
      StatementLock lock(catalog_, session_, NeedsExclusiveLock(statement));
      try {
        RunLocked(statement);
      } catch (const std::bad_alloc&) {
        // Past the memory budget: a statement error like any other, so the
        // journal undoes what the statement changed.
        ResumeMemoryBudget();
        Throw(ErrorCode::kInsufficientMemory, {"default"});
      }
      FinishStatement(catalog_, session_);
    }
    session_.procedural.error = 0;
  } catch (SqlError& error) {
    if (error.line() == 0) error.set_line(statement.line);
    session_.procedural.error = error.number();
    // The statement is undone through the journal (once, where it failed).
    const bool ends_batch = StatementFailed(error, mark, try_depth_ > 0, catalog_, session_);
    // Inside TRY every error goes to the CATCH block (RunTryCatch decides).
    const auto* nested = dynamic_cast<const NestedError*>(&error);
    if (try_depth_ > 0 || (nested && nested->ends_batch()) || ends_batch) throw;
    result_.AddError(std::move(error));
  }
}

void StatementRunner::RunLocked(ast::Stmt& statement) {
  StringArena arena;
  BindContext bind_context{catalog_, session_, arena, statement.kind == ast::StmtKind::CreateView, &variables_};
  Binder binder(bind_context);
  ExecContext context{catalog_, session_, arena, {}, {}, {}};
  context.max_dop = catalog_.max_dop();
  if (const int hinted = HintedMaxDop(statement); hinted >= 0) context.max_dop = hinted;
  switch (statement.kind) {
    case ast::StmtKind::Select: {
      const auto& select = static_cast<const ast::SelectStmt&>(statement);
      const ast::QueryExpr* leftmost = select.query.get();
      while (!leftmost->select) leftmost = leftmost->left.get();
      const auto& items = leftmost->select->items;
      if (std::any_of(items.begin(), items.end(), [](const ast::SelectItem& item) { return !item.assign_to.empty(); })) {
        RunSelectAssign(select, binder, context);
      } else if (!leftmost->select->into.empty()) {
        RunSelectInto(select, leftmost->select->into, binder, context);
      } else {
        RunSelect(select, binder, context);
      }
      return;
    }
    case ast::StmtKind::Insert:
      RunInsert(static_cast<const ast::InsertStmt&>(statement), binder, context);
      return;
    case ast::StmtKind::Update:
      RunUpdate(static_cast<const ast::UpdateStmt&>(statement), binder, context);
      return;
    case ast::StmtKind::BulkInsert:
      RunBulkInsert(static_cast<const ast::BulkInsertStmt&>(statement), binder, context);
      return;
    case ast::StmtKind::Delete:
      RunDelete(static_cast<const ast::DeleteStmt&>(statement), binder, context);
      return;
    case ast::StmtKind::Truncate:
      session_.transaction.journal.Truncate(
          binder.LookupTable(static_cast<const ast::TruncateStmt&>(statement).table, statement.line));
      return;
    case ast::StmtKind::CreateTable:
      RunCreateTable(static_cast<ast::CreateTableStmt&>(statement));
      return;
    case ast::StmtKind::DropTable:
    case ast::StmtKind::DropView:
      RunDrop(static_cast<const ast::DropTableStmt&>(statement));
      return;
    case ast::StmtKind::CreateView:
      RunCreateView(static_cast<const ast::CreateViewStmt&>(statement), binder);
      return;
    case ast::StmtKind::AlterTable:
      RunAlterTable(static_cast<ast::AlterTableStmt&>(statement), binder, context);
      return;
    case ast::StmtKind::AlterScopedConfiguration:
      RunScopedConfiguration(static_cast<const ast::ScopedConfigurationStmt&>(statement));
      return;
    case ast::StmtKind::CreateIndex:
      // Indexes change no result; the table must exist all the same.
      binder.LookupTable(static_cast<const ast::CreateIndexStmt&>(statement).table, statement.line);
      return;
    default:
      break;
  }
  Throw(ErrorCode::kInternal, {"statement dispatched twice"}, statement.line);
}

void StatementRunner::RunScopedConfiguration(const ast::ScopedConfigurationStmt& statement) {
  // A setting holds for every session at once; no transaction may hold it back.
  if (session_.transaction.count > 0) {
    Throw(ErrorCode::kNotInUserTransaction, {"ALTER DATABASE SCOPED CONFIGURATION"}, statement.line);
  }
  // No plan outlives its statement, so CLEAR PROCEDURE_CACHE has nothing to clear.
  if (statement.max_dop) session_.transaction.journal.SetMaxDop(catalog_, *statement.max_dop);
}

void StatementRunner::RunIf(ast::IfStmt& statement) {
  const bool holds = EvaluateCondition(*statement.condition);
  // IF counts as a statement of its own: `IF @@ROWCOUNT > 0 PRINT @@ROWCOUNT` prints 0.
  session_.procedural.rowcount = 0;
  if (holds) {
    Run(*statement.then_stmt);
  } else if (statement.else_stmt) {
    Run(*statement.else_stmt);
  }
}

void StatementRunner::RunSet(const ast::Stmt& statement) {
  if (statement.kind == ast::StmtKind::SetIsolation) {
    session_.isolation = ParseIsolation(static_cast<const ast::SetIsolationStmt&>(statement).level, statement.line);
    return;
  }
  const auto& set = static_cast<const ast::SetOptionStmt&>(statement);
  if (ApplyTransactionOption(set, session_)) return;
  if (set.option == "NOCOUNT") {
    session_.nocount = set.on;
    return;
  }
  // The engine always behaves as SQL Server does with these ON.
  static const char* const kAlwaysOn[] = {"ANSI_NULLS",   "ANSI_WARNINGS", "QUOTED_IDENTIFIER",
                                          "ANSI_PADDING", "ARITHABORT",    "CONCAT_NULL_YIELDS_NULL",
                                          "ANSI_NULL_DFLT_ON"};
  for (const char* option : kAlwaysOn) {
    if (set.option == option && set.on) return;
  }
  // ... and as it does with these OFF, their default; the parser let LANGUAGE,
  // DATEFORMAT, DATEFIRST and TEXTSIZE through only with the engine's own value.
  static const char* const kAlwaysOff[] = {"NUMERIC_ROUNDABORT", "IMPLICIT_TRANSACTIONS", "CURSOR_CLOSE_ON_COMMIT",
                                           "ANSI_NULL_DFLT_OFF", "ARITHIGNORE"};
  for (const char* option : kAlwaysOff) {
    if (set.option == option && !set.on) return;
  }
  for (const char* option : {"LANGUAGE", "DATEFORMAT", "DATEFIRST", "TEXTSIZE"}) {
    if (set.option == option) return;
  }
  Throw(ErrorCode::kNotSupported, {"SET " + set.option + (set.on ? " ON" : " OFF")}, statement.line);
}

}  // namespace orv::engine
