// Binding of the FROM clause: named tables (temporary, base, views), derived
// tables and joins. Each table's columns occupy a contiguous range of the
// joined row, left to right; ON conditions see only their own join's tables.
#include "engine/binder/binder.h"
#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/parser/parser.h"

namespace orv::engine {
namespace {

void CheckExposedName(const Scope& scope, const std::string& exposed, int line) {
  for (const ScopeTable& table : scope.tables) {
    if (NamesEqual(table.exposed, exposed)) Throw(ErrorCode::kSameExposedNames, {table.exposed, exposed}, line);
  }
}

void MarkNullable(Scope& scope, size_t first, size_t last) {
  for (size_t i = first; i < last; ++i) {
    for (ScopeColumn& column : scope.tables[i].columns) column.nullable = true;
  }
}

}  // namespace

std::shared_ptr<Table> Binder::LookupTable(const ast::Name& name, int line) const {
  const std::string& object = name.back();
  if (object.rfind("##", 0) == 0) Throw(ErrorCode::kNotSupported, {"The global temporary table " + object}, line);
  std::shared_ptr<Table> table =
      object.rfind('#', 0) == 0 ? context_.session.FindTemp(object) : context_.catalog.FindTable(object);
  if (!table) Throw(ErrorCode::kInvalidObjectName, {JoinName(name)}, line);
  return table;
}

BoundTableRefPtr Binder::BindNamedTable(const ast::NamedTableRef& ref, Scope& scope, size_t offset, bool row_ids) {
  const std::string& object = ref.name.back();
  if (context_.view_definition && object.rfind('#', 0) == 0) Throw(ErrorCode::kViewOnTempTable, {}, ref.line);
  if (object.rfind('#', 0) != 0) {
    if (const ViewDefinition* view = context_.catalog.FindView(object)) {
      ast::Batch batch = ParseBatch(view->query_text);
      if (batch.statements.size() != 1 || batch.statements[0]->kind != ast::StmtKind::Select) {
        Throw(ErrorCode::kInternal, {"the text of view " + view->name + " is not one query"}, ref.line);
      }
      const auto& select = static_cast<const ast::SelectStmt&>(*batch.statements[0]);
      try {
        return BindDerived(*select.query, ref.alias.empty() ? object : ref.alias, view->columns, scope, offset,
                           ref.line);
      } catch (SqlError& error) {
        // A line of the view's own text means nothing to the batch: the
        // error takes the line of the statement using the view.
        error.set_line(0);
        throw;
      }
    }
  }
  std::shared_ptr<Table> table = LookupTable(ref.name, ref.line);
  std::string exposed = ref.alias.empty() ? object : ref.alias;
  CheckExposedName(scope, exposed, ref.line);
  ScopeTable entry;
  entry.exposed = exposed;
  entry.offset = offset;
  entry.table = table;
  for (const ColumnSchema& column : table->schema()) {
    entry.columns.push_back(ScopeColumn{column.name, column.type, column.nullable, column.identity});
  }
  auto bound = std::make_unique<BoundTableRef>();
  bound->width = table->column_count() + (row_ids ? 1 : 0);
  auto& base = bound->source.emplace<BoundBaseTable>();
  base.table = table;
  base.row_ids = row_ids;
  base.read.assign(table->column_count(), 0);
  entry.base = &base;
  scope.tables.push_back(std::move(entry));
  return bound;
}

BoundTableRefPtr Binder::BindDerived(const ast::QueryExpr& query, const std::string& alias,
                            const std::vector<std::string>& column_aliases, Scope& scope, size_t offset, int line) {
  // A derived table cannot see its siblings in FROM, only the enclosing queries.
  BoundQuery bound = BindQuery(query, scope.parent, &scope, true);
  CheckExposedName(scope, alias, line);
  ScopeTable entry;
  entry.exposed = alias;
  entry.offset = offset;
  if (!column_aliases.empty() && column_aliases.size() != bound.columns.size()) {
    Throw(ErrorCode::kNotSupported, {"A column alias list of another length than the select list"}, line);
  }
  for (size_t i = 0; i < bound.columns.size(); ++i) {
    std::string name = column_aliases.empty() ? bound.columns[i].name : column_aliases[i];
    if (name.empty()) Throw(ErrorCode::kNoColumnName, {std::to_string(i + 1), alias}, line);
    entry.columns.push_back(ScopeColumn{name, bound.columns[i].type, bound.columns[i].nullable, std::nullopt});
  }
  scope.tables.push_back(std::move(entry));
  auto ref = std::make_unique<BoundTableRef>();
  ref->width = bound.columns.size();
  ref->source = BoundDerivedTable{std::make_unique<BoundQuery>(std::move(bound))};
  return ref;
}

BoundTableRefPtr Binder::BindTableRef(const ast::TableRef& ref, Scope& scope, size_t offset, bool row_ids) {
  switch (ref.kind) {
    case ast::TableRefKind::Named:
      return BindNamedTable(static_cast<const ast::NamedTableRef&>(ref), scope, offset, row_ids);
    case ast::TableRefKind::Derived: {
      const auto& derived = static_cast<const ast::DerivedTableRef&>(ref);
      return BindDerived(*derived.query, derived.alias, derived.column_aliases, scope, offset, ref.line);
    }
    case ast::TableRefKind::Join:
      break;
  }
  const auto& join_ref = static_cast<const ast::JoinTableRef&>(ref);
  size_t first_table = scope.tables.size();
  auto bound = std::make_unique<BoundTableRef>();
  auto& join = bound->source.emplace<BoundJoin>();
  join.type = join_ref.type;
  join.left = BindTableRef(*join_ref.left, scope, offset, row_ids);
  size_t middle_table = scope.tables.size();
  join.right = BindTableRef(*join_ref.right, scope, offset + join.left->width, row_ids);
  size_t last_table = scope.tables.size();
  bound->width = join.left->width + join.right->width;
  if (join_ref.on) {
    // The ON condition sees the tables of this join only, at positions of the join's own rows.
    Scope local;
    local.parent = scope.parent;
    local.enclosing = &scope;
    for (size_t i = first_table; i < last_table; ++i) {
      local.tables.push_back(scope.tables[i]);
      local.tables.back().offset -= offset;
    }
    ExprContext context;
    context.clause = Clause::On;
    join.on = BindExpr(*join_ref.on, local, context);
  }
  if (join_ref.type == ast::JoinType::Left || join_ref.type == ast::JoinType::Full) {
    MarkNullable(scope, middle_table, last_table);
  }
  if (join_ref.type == ast::JoinType::Right || join_ref.type == ast::JoinType::Full) {
    MarkNullable(scope, first_table, middle_table);
  }
  return bound;
}

}  // namespace orv::engine
