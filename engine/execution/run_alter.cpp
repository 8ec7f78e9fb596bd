// ALTER TABLE: ADD columns (existing rows get the default, or NULL), DROP
// COLUMN (refused while a key or a default depends on the column) and ALTER
// COLUMN (every stored value converted as an insert would). Each computes
// all the new values first, then changes the table through the session's
// change journal, so ROLLBACK undoes it and a database file logs it.
#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/execution/column_writer.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"
#include "engine/execution/statement_runner.h"
#include "engine/parser/parser.h"
#include "engine/planner/planner.h"

namespace orv::engine {
namespace {

using Action = ast::AlterTableStmt::Action;

size_t FindColumn(const Table& table, const std::string& name, std::string_view action, int line) {
  for (size_t c = 0; c < table.column_count(); ++c) {
    if (NamesEqual(table.schema()[c].name, name)) return c;
  }
  Throw(ErrorCode::kAlterColumnMissing, {action, name, table.name()}, line);
}

// The constraint names SQL Server reports as depending on a column: its keys
// and its default (named DF__table__column here; SQL Server adds a suffix of
// its own that cannot be reproduced).
std::vector<std::string> Dependents(const Table& table, size_t column) {
  std::vector<std::string> names;
  for (const KeyConstraint& key : table.keys()) {
    for (size_t c : key.columns) {
      if (c == column) names.push_back(key.name);
    }
  }
  if (!table.schema()[column].default_text.empty()) {
    names.push_back("DF__" + table.name() + "__" + table.schema()[column].name);
  }
  return names;
}

}  // namespace

ColumnSchema StatementRunner::AlteredColumnSchema(const ast::ColumnDef& definition, int number, int line) {
  ColumnSchema column;
  column.name = definition.name;
  column.type = AtLine(line, [&] { return ResolveTypeName(definition.type, false, number); });
  column.nullable = definition.nullable != 0;
  column.default_text = definition.default_text;
  column.collation = definition.collation;
  if (definition.identity) Throw(ErrorCode::kNotSupported, {"ALTER TABLE ADD of an identity column"}, line);
  return column;
}

void StatementRunner::RunAlterTable(const ast::AlterTableStmt& statement, Binder& binder, ExecContext& context) {
  std::shared_ptr<Table> table = binder.LookupTable(statement.table, statement.line);
  const int line = statement.line;
  const size_t rows = table->row_count();
  ChangeJournal& journal = session_.transaction.journal;
  switch (statement.action) {
    case Action::AddColumns: {
      std::vector<ColumnSchema> schema = table->schema();
      std::vector<std::pair<ColumnSchema, std::vector<Value>>> added;
      for (size_t i = 0; i < statement.columns.size(); ++i) {
        const ast::ColumnDef& definition = statement.columns[i];
        CheckNewColumnName(schema, definition.name, table->name(), line);
        ColumnSchema column = AlteredColumnSchema(definition, static_cast<int>(schema.size() + 1), line);
        // The default fills the rows already there when the column may not be
        // NULL (or WITH VALUES asks for it); without one they need an empty table.
        Value fill = Value::Null(column.type.id);
        if (!column.default_text.empty()) {
          BoundExprPtr bound = binder.BindScalar(*ParseScalarExpression(column.default_text, line));
          PlanSubqueries(*bound, context.subquery_plans);
          if (!column.nullable || statement.with_values) {
            Value none;
            fill = Evaluate(*bound, EvalRow{&none, nullptr}, context);
          }
        } else if (!column.nullable && rows > 0) {
          Throw(ErrorCode::kAlterAddNotNull, {column.name, table->name()}, line);
        }
        if (rows > 0) fill = ConvertForColumn(fill, column, *table, "ALTER TABLE", session_.database_name, context.arena);
        schema.push_back(column);
        added.emplace_back(std::move(column), std::vector<Value>(rows, fill));
      }
      for (auto& [column, values] : added) journal.AddColumn(table, std::move(column), values);
      return;
    }
    case Action::DropColumns: {
      std::vector<size_t> doomed;
      for (const std::string& name : statement.dropped) {
        bool exists = false;
        for (const ColumnSchema& column : table->schema()) exists = exists || NamesEqual(column.name, name);
        if (!exists && statement.if_exists) continue;
        const size_t c = FindColumn(*table, name, "DROP COLUMN", line);
        for (const std::string& dependent : Dependents(*table, c)) {
          result_.AddError(MakeError(ErrorCode::kObjectDependsOnColumn, {dependent, table->schema()[c].name}, line));
        }
        if (!Dependents(*table, c).empty()) Throw(ErrorCode::kAlterColumnAccessed, {"DROP COLUMN", name}, line);
        doomed.push_back(c);
      }
      if (!doomed.empty() && doomed.size() >= table->column_count()) {
        Throw(ErrorCode::kDropOnlyColumn, {table->schema()[doomed.back()].name, table->name()}, line);
      }
      // From the last position down, so the earlier ones stay where they are.
      std::sort(doomed.rbegin(), doomed.rend());
      for (size_t c : doomed) journal.DropColumn(table, c);
      return;
    }
    case Action::AlterColumn: {
      const ast::ColumnDef& definition = statement.columns[0];
      const size_t c = FindColumn(*table, definition.name, "ALTER COLUMN", line);
      const ColumnSchema& old = table->schema()[c];
      bool in_key = false;
      for (const KeyConstraint& key : table->keys()) {
        for (size_t k : key.columns) in_key = in_key || k == c;
      }
      ColumnSchema column = AlteredColumnSchema(definition, static_cast<int>(c + 1), line);
      column.name = old.name;
      column.default_text = old.default_text;
      column.identity = old.identity;
      if (in_key || old.identity) {
        for (const std::string& dependent : Dependents(*table, c)) {
          result_.AddError(MakeError(ErrorCode::kObjectDependsOnColumn, {dependent, old.name}, line));
        }
        Throw(ErrorCode::kAlterColumnAccessed, {"ALTER COLUMN", old.name}, line);
      }
      std::vector<Value> values(rows);
      for (size_t r = 0; r < rows; ++r) {
        values[r] = ConvertForColumn(table->Get(r, c), column, *table, "UPDATE", session_.database_name, context.arena);
      }
      journal.ReplaceColumn(table, c, std::move(column), values);
      return;
    }
  }
}

}  // namespace orv::engine
