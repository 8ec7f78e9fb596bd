// Statement dispatch, locking, IF and SET; the statements themselves are in
// the run_*.cpp files.
#include "engine/execution/statement_runner.h"

#include <mutex>
#include <shared_mutex>

#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/execution/evaluate.h"
#include "engine/planner/planner.h"

namespace orv::engine {
namespace {

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
      return true;
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
  switch (statement.kind) {
    case ast::StmtKind::CreateTable: {
      const auto& create = static_cast<const ast::CreateTableStmt&>(statement);
      if (IsTempName(create.table)) creates.push_back(&create);
      return;
    }
    case ast::StmtKind::Block:
      for (const auto& inner : static_cast<const ast::BlockStmt&>(statement).statements) {
        CollectTempCreates(*inner, creates);
      }
      return;
    case ast::StmtKind::If: {
      const auto& branch = static_cast<const ast::IfStmt&>(statement);
      CollectTempCreates(*branch.then_stmt, creates);
      if (branch.else_stmt) CollectTempCreates(*branch.else_stmt, creates);
      return;
    }
    default:
      return;
  }
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
  if (session_.nocount) return;
  result_.AddMessage(rows == 1 ? "(1 row affected)" : "(" + std::to_string(rows) + " rows affected)");
}

void StatementRunner::Run(ast::Stmt& statement) {
  try {
    switch (statement.kind) {
      case ast::StmtKind::If:
        RunIf(static_cast<ast::IfStmt&>(statement));
        return;
      case ast::StmtKind::Block:
        for (auto& inner : static_cast<ast::BlockStmt&>(statement).statements) Run(*inner);
        return;
      case ast::StmtKind::SetOption:
      case ast::StmtKind::SetIsolation:
        RunSet(statement);
        return;
      default:
        break;
    }
    if (NeedsExclusiveLock(statement)) {
      std::unique_lock lock(catalog_.mutex());
      RunLocked(statement);
    } else {
      std::shared_lock lock(catalog_.mutex());
      RunLocked(statement);
    }
  } catch (SqlError& error) {
    if (error.line() == 0) error.set_line(statement.line);
    if (!EndsOnlyStatement(error.number())) throw;
    // The statement changed nothing (each one checks all its rows first); the batch goes on.
    result_.AddError(std::move(error));
  }
}

void StatementRunner::RunLocked(ast::Stmt& statement) {
  StringArena arena;
  BindContext bind_context{catalog_, session_, arena, statement.kind == ast::StmtKind::CreateView};
  Binder binder(bind_context);
  ExecContext context{catalog_, session_, arena, {}, {}, {}};
  switch (statement.kind) {
    case ast::StmtKind::Select: {
      const auto& select = static_cast<const ast::SelectStmt&>(statement);
      const ast::QueryExpr* leftmost = select.query.get();
      while (!leftmost->select) leftmost = leftmost->left.get();
      if (!leftmost->select->into.empty()) {
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
    case ast::StmtKind::Delete:
      RunDelete(static_cast<const ast::DeleteStmt&>(statement), binder, context);
      return;
    case ast::StmtKind::Truncate:
      binder.LookupTable(static_cast<const ast::TruncateStmt&>(statement).table, statement.line)->Truncate();
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
    case ast::StmtKind::CreateIndex:
      // Indexes change no result; the table must exist all the same.
      binder.LookupTable(static_cast<const ast::CreateIndexStmt&>(statement).table, statement.line);
      return;
    case ast::StmtKind::If:
    case ast::StmtKind::Block:
    case ast::StmtKind::SetOption:
    case ast::StmtKind::SetIsolation:
      break;
  }
  Throw(ErrorCode::kInternal, {"statement dispatched twice"}, statement.line);
}

void StatementRunner::RunIf(ast::IfStmt& statement) {
  bool condition = false;
  {
    std::shared_lock lock(catalog_.mutex());
    StringArena arena;
    BindContext bind_context{catalog_, session_, arena};
    Binder binder(bind_context);
    ExecContext context{catalog_, session_, arena, {}, {}, {}};
    BoundExprPtr bound = binder.BindScalar(*statement.condition);
    PlanSubqueries(*bound, context.subquery_plans);
    Value none;
    condition = IsTrue(Evaluate(*bound, EvalRow{&none, nullptr}, context));
  }
  if (condition) {
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
  if (set.option == "NOCOUNT") {
    session_.nocount = set.on;
    return;
  }
  // The engine always behaves as SQL Server does with these ON.
  static const char* const kAlwaysOn[] = {"ANSI_NULLS",   "ANSI_WARNINGS", "QUOTED_IDENTIFIER",
                                          "ANSI_PADDING", "ARITHABORT",    "CONCAT_NULL_YIELDS_NULL",
                                          "ANSI_NULL_DFLT_ON", "XACT_ABORT"};
  for (const char* option : kAlwaysOn) {
    if (set.option == option && set.on) return;
  }
  Throw(ErrorCode::kNotSupported, {"SET " + set.option + (set.on ? " ON" : " OFF")}, statement.line);
}

}  // namespace orv::engine
