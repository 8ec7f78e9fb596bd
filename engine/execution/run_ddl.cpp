// CREATE TABLE, DROP TABLE / VIEW and CREATE VIEW. Temporary tables (#name)
// go to the session, everything else to the database's catalog.
#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/execution/column_writer.h"
#include "engine/execution/statement_runner.h"

namespace orv::engine {
namespace {

bool IsTemp(const std::string& name) { return !name.empty() && name[0] == '#'; }

void RejectGlobalTemp(const std::string& name, int line) {
  if (name.rfind("##", 0) == 0) Throw(ErrorCode::kNotSupported, {"The global temporary table " + name}, line);
}

// The table's PRIMARY KEY and UNIQUE constraints over column positions. An
// unnamed one is called PK__<table> or UQ__<table>__<columns>: SQL Server adds
// a generated suffix that cannot be reproduced, so the name stays stable instead.
std::vector<KeyConstraint> ResolveKeys(const ast::CreateTableStmt& statement, const std::vector<ColumnSchema>& schema) {
  const std::string& table = statement.table.back();
  std::vector<KeyConstraint> keys;
  for (const ast::KeyDef& definition : statement.keys) {
    KeyConstraint key{definition.name, definition.primary, {}};
    std::string generated = (definition.primary ? "PK__" : "UQ__") + table;
    for (const std::string& name : definition.columns) {
      size_t c = 0;
      while (c < schema.size() && !NamesEqual(schema[c].name, name)) ++c;
      if (c == schema.size()) Throw(ErrorCode::kKeyColumnMissing, {name}, statement.line);
      key.columns.push_back(c);
      if (!definition.primary) generated += "__" + schema[c].name;
    }
    if (key.name.empty()) key.name = std::move(generated);
    keys.push_back(std::move(key));
  }
  return keys;
}

bool InPrimaryKey(const ast::CreateTableStmt& statement, const std::string& column) {
  for (const ast::KeyDef& key : statement.keys) {
    if (!key.primary) continue;
    for (const std::string& name : key.columns) {
      if (NamesEqual(name, column)) return true;
    }
  }
  return false;
}

}  // namespace

void StatementRunner::RunCreateTable(ast::CreateTableStmt& statement) {
  const std::string& name = statement.table.back();
  RejectGlobalTemp(name, statement.line);
  std::vector<ColumnSchema> schema;
  for (size_t i = 0; i < statement.columns.size(); ++i) {
    ast::ColumnDef& definition = statement.columns[i];
    CheckNewColumnName(schema, definition.name, name, statement.line);
    ColumnSchema column;
    column.name = definition.name;
    column.type = AtLine(statement.line, [&] { return ResolveTypeName(definition.type, false, static_cast<int>(i + 1)); });
    const bool key = InPrimaryKey(statement, definition.name);
    if (key && definition.nullable == 1) Throw(ErrorCode::kNullablePrimaryKey, {name}, statement.line);
    // A column is nullable unless declared NOT NULL, an identity or part of the primary key.
    column.nullable = definition.nullable == 1 || (definition.nullable == -1 && !definition.identity && !key);
    column.default_text = definition.default_text;
    if (definition.identity) {
      if (!IsInteger(column.type.id) && !(column.type.id == TypeId::Decimal && column.type.scale == 0)) {
        Throw(ErrorCode::kNotSupported, {"An identity column of type " + TypeToString(column.type)}, statement.line);
      }
      column.identity = Identity{definition.identity_seed, definition.identity_increment};
    }
    column.collation = definition.collation;
    schema.push_back(std::move(column));
  }
  std::vector<KeyConstraint> keys = ResolveKeys(statement, schema);
  auto table = std::make_shared<Table>(name, std::move(schema), std::move(keys));
  if (IsTemp(name)) {
    session_.AddTemp(std::move(table));
  } else {
    catalog_.AddTable(std::move(table));
  }
}

void StatementRunner::RunDrop(const ast::DropTableStmt& statement) {
  bool view = statement.kind == ast::StmtKind::DropView;
  for (const ast::Name& name : statement.names) {
    const std::string& object = name.back();
    bool dropped = view ? catalog_.DropView(object)
                        : (IsTemp(object) ? session_.DropTemp(object) : catalog_.DropTable(object));
    if (!dropped && !statement.if_exists) {
      Throw(ErrorCode::kCannotDropObject, {view ? "view" : "table", JoinName(name)}, statement.line);
    }
  }
}

void StatementRunner::RunCreateView(const ast::CreateViewStmt& statement, Binder& binder) {
  const std::string& name = statement.name.back();
  if (IsTemp(name)) Throw(ErrorCode::kNotSupported, {"A temporary view"}, statement.line);
  // Bound once now so that a view over missing tables or columns fails at creation, as in SQL Server.
  binder.BindQuery(*statement.query, nullptr, nullptr, true);
  catalog_.AddView(ViewDefinition{name, statement.columns, statement.query_text, 0});
}

}  // namespace orv::engine
