// Binding of the rows UPDATE and DELETE act on: the FROM clause (or the
// target alone), where the target stands in it, and WHERE.
#include "engine/binder/binder.h"
#include "engine/catalog/names.h"
#include "engine/common/errors.h"

namespace orv::engine {
namespace {

ast::NamedTableRef TargetRef(const ast::Name& target, int line) {
  ast::NamedTableRef ref;
  ref.name = target;
  ref.line = line;
  return ref;
}

}  // namespace

BoundDmlTarget Binder::BindDmlTarget(const ast::Name& target, const ast::TableRef* from, const ast::Expr* where,
                                     int line) {
  BoundDmlTarget result;
  const ScopeTable* found = nullptr;
  if (from) {
    result.from = BindTableRef(*from, result.scope, 0, true);
    // The target is an exposed name of the FROM clause (an alias or an unaliased table) ...
    for (const ScopeTable& table : result.scope.tables) {
      if (NamesEqual(table.exposed, target.back())) found = &table;
    }
    // ... or a table the FROM clause names exactly once under an alias ...
    if (!found) {
      std::shared_ptr<Table> named = LookupTable(target, line);
      for (const ScopeTable& table : result.scope.tables) {
        if (table.table != named) continue;
        if (found) Throw(ErrorCode::kNotSupported, {"An UPDATE or DELETE target named twice in FROM"}, line);
        found = &table;
      }
    }
    // ... or, named nowhere in it, a further table of the FROM clause, cross joined with the rest.
    if (!found) {
      auto cross = std::make_unique<BoundTableRef>();
      auto& join = cross->source.emplace<BoundJoin>();
      join.type = ast::JoinType::Cross;
      join.left = std::move(result.from);
      join.right = BindNamedTable(TargetRef(target, line), result.scope, join.left->width, true);
      cross->width = join.left->width + join.right->width;
      result.from = std::move(cross);
      found = &result.scope.tables.back();
    }
  } else {
    result.from = BindTableRef(TargetRef(target, line), result.scope, 0, true);
    found = &result.scope.tables[0];
  }
  // A view or derived table has no rows of its own to change.
  if (!found->table) Throw(ErrorCode::kNotSupported, {"An UPDATE or DELETE through a view"}, line);
  result.table = found->table;
  result.exposed = found->exposed;
  result.offset = found->offset;
  result.row_id_column = found->offset + found->columns.size();
  if (where) {
    ExprContext where_context;
    where_context.clause = Clause::Where;
    result.where = BindExpr(*where, result.scope, where_context);
  }
  return result;
}

}  // namespace orv::engine
