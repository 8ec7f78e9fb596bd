// Target rows of UPDATE and DELETE.
#include "engine/execution/dml_target.h"

#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/execution/executor.h"
#include "engine/planner/join_planner.h"

namespace orv::engine {
namespace {

ast::NamedTableRef TargetRef(const ast::Name& target, int line) {
  ast::NamedTableRef ref;
  ref.name = target;
  ref.line = line;
  return ref;
}

}  // namespace

DmlTarget SelectTargetRows(const ast::Name& target, const ast::TableRef* from, const ast::Expr* where, int line,
                           Binder& binder, ExecContext& context, const std::function<void(DmlTarget&)>& after_bind) {
  DmlTarget result;
  PlanPtr plan;
  const ScopeTable* found = nullptr;
  if (from) {
    plan = binder.BindFrom(*from, result.scope, true);
    // The target is an exposed name of the FROM clause (an alias or an unaliased table) ...
    for (const ScopeTable& table : result.scope.tables) {
      if (NamesEqual(table.exposed, target.back())) found = &table;
    }
    // ... or a table the FROM clause names exactly once under an alias ...
    if (!found) {
      std::shared_ptr<Table> named = binder.LookupTable(target, line);
      for (const ScopeTable& table : result.scope.tables) {
        if (table.table != named) continue;
        if (found) Throw(ErrorCode::kNotSupported, {"An UPDATE or DELETE target named twice in FROM"}, line);
        found = &table;
      }
    }
    // ... or, named nowhere in it, a further table of the FROM clause, cross joined with the rest.
    if (!found) {
      plan = binder.CrossJoinTable(std::move(plan), TargetRef(target, line), result.scope, true);
      found = &result.scope.tables.back();
    }
  } else {
    plan = binder.BindFrom(TargetRef(target, line), result.scope, true);
    found = &result.scope.tables[0];
  }
  // A view or derived table has no rows of its own to change.
  if (!found->table) Throw(ErrorCode::kNotSupported, {"An UPDATE or DELETE through a view"}, line);
  result.table = found->table;
  result.exposed = found->exposed;
  result.offset = found->offset;
  size_t row_id_column = found->offset + found->columns.size();
  if (where) {
    ExprContext where_context;
    where_context.clause = Clause::Where;
    plan = PlanFilter(std::move(plan), binder.BindExpr(*where, result.scope, where_context));
  }
  after_bind(result);
  result.rows = ExecutePlan(*plan, context, nullptr);
  result.row_ids.resize(result.rows.rows);
  for (size_t r = 0; r < result.rows.rows; ++r) {
    const Value& id = result.rows.Row(r)[row_id_column];
    result.row_ids[r] = id.is_null ? -1 : id.i;
  }
  return result;
}

}  // namespace orv::engine
