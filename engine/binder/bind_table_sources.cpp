// Two table sources of the FROM clause: a VALUES table constructor, whose
// columns take the common type of every row's value, and CROSS/OUTER APPLY,
// whose right side is bound with the left side's tables as its outer query.
#include "engine/binder/binder.h"
#include "engine/catalog/names.h"
#include "engine/common/errors.h"

namespace orv::engine {

BoundTableRefPtr Binder::BindValuesTable(const ast::ValuesTableRef& ref, Scope& scope, size_t offset) {
  // Like a derived table, the rows see the enclosing queries but not their siblings.
  Scope local;
  local.parent = scope.parent;
  local.enclosing = &scope;
  ExprContext context;
  BoundValues values;
  for (const auto& row : ref.rows) {
    std::vector<BoundExprPtr> bound;
    for (const auto& e : row) bound.push_back(BindExpr(*e, local, context));
    values.rows.push_back(std::move(bound));
  }
  BoundQuery shape;
  const size_t width = ref.rows.front().size();
  for (size_t c = 0; c < width; ++c) {
    OutputColumn column;
    column.type = values.rows[0][c]->type;
    column.nullable = false;
    for (const auto& row : values.rows) {
      column.type = AtLine(ref.line, [&] { return CommonType(column.type, row[c]->type); });
      column.nullable = column.nullable || row[c]->nullable;
    }
    shape.columns.push_back(std::move(column));
  }
  for (auto& row : values.rows) {
    for (size_t c = 0; c < width; ++c) row[c] = Convert(std::move(row[c]), shape.columns[c].type);
  }
  if (ref.column_aliases.empty()) Throw(ErrorCode::kNoColumnName, {"1", ref.alias}, ref.line);
  BoundTableRefPtr bound = ExposeDerived(std::move(shape), ref.alias, ref.column_aliases, scope, offset, ref.line);
  bound->source = std::move(values);
  return bound;
}

BoundTableRefPtr Binder::BindApply(const ast::JoinTableRef& ref, Scope& scope, size_t offset, bool row_ids) {
  const size_t first_table = scope.tables.size();
  auto bound = std::make_unique<BoundTableRef>();
  auto& join = bound->source.emplace<BoundJoin>();
  join.type = ref.type;
  join.apply = true;
  join.left = BindTableRef(*ref.left, scope, offset, row_ids);
  // The right side's outer query is the left side's row: its tables at
  // positions of that row, then the queries around this one.
  Scope lateral;
  lateral.parent = scope.parent;
  lateral.enclosing = &scope;
  for (size_t i = first_table; i < scope.tables.size(); ++i) {
    lateral.tables.push_back(scope.tables[i]);
    lateral.tables.back().offset -= offset;
  }
  Scope right;
  right.parent = &lateral;
  right.enclosing = &lateral;
  join.right = BindTableRef(*ref.right, right, 0, row_ids);
  for (ScopeTable& table : right.tables) {
    for (const ScopeTable& existing : scope.tables) {
      if (NamesEqual(existing.exposed, table.exposed)) {
        Throw(ErrorCode::kSameExposedNames, {existing.exposed, table.exposed}, ref.line);
      }
    }
    table.offset += offset + join.left->width;
    if (ref.type == ast::JoinType::Left) {
      for (ScopeColumn& column : table.columns) column.nullable = true;
    }
    scope.tables.push_back(std::move(table));
  }
  if (lateral.reads_outer) scope.reads_outer = true;
  bound->width = join.left->width + join.right->width;
  return bound;
}

}  // namespace orv::engine
