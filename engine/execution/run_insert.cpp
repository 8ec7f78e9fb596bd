// INSERT ... VALUES / SELECT / DEFAULT VALUES. Every row is computed,
// converted and checked against the keys before the table changes, so a
// failing row inserts nothing. Columns left out get their default (bound
// again for this statement, so GETDATE() is evaluated per row) or NULL. Each
// row draws its identity value as it is converted; as in SQL Server, a failed
// INSERT keeps the values drawn up to the failing row, leaving a gap.
#include <algorithm>

#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/execution/column_writer.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"
#include "engine/execution/key_check.h"
#include "engine/execution/statement_runner.h"

namespace orv::engine {
namespace {

// Target column positions: the list as written, or every non-identity column.
std::vector<size_t> TargetColumns(const ast::InsertStmt& statement, const Table& table) {
  std::vector<size_t> targets;
  if (statement.columns.empty()) {
    for (size_t c = 0; c < table.column_count(); ++c) {
      if (!table.schema()[c].identity) targets.push_back(c);
    }
    return targets;
  }
  for (const std::string& name : statement.columns) {
    size_t c = 0;
    while (c < table.column_count() && !NamesEqual(table.schema()[c].name, name)) ++c;
    if (c == table.column_count()) Throw(ErrorCode::kInvalidColumnName, {name}, statement.line);
    if (table.schema()[c].identity) Throw(ErrorCode::kIdentityInsertOff, {table.name()}, statement.line);
    if (std::find(targets.begin(), targets.end(), c) != targets.end()) {
      Throw(ErrorCode::kColumnAssignedTwice, {table.schema()[c].name}, statement.line);
    }
    targets.push_back(c);
  }
  return targets;
}

}  // namespace

void StatementRunner::RunInsert(const ast::InsertStmt& statement, Binder& binder, ExecContext& context) {
  std::shared_ptr<Table> table = binder.LookupTable(statement.table, statement.line);
  std::vector<size_t> targets = TargetColumns(statement, *table);
  const bool listed = !statement.columns.empty();
  const size_t width = table->column_count();

  // Source rows, one value per target column; a null pointer asks for the default.
  Relation source(targets.size());
  std::vector<uint8_t> use_default;
  if (statement.query) {
    BoundQuery query = binder.BindQuery(*statement.query, nullptr, nullptr, false);
    size_t items = query.columns.size();
    if (items != targets.size()) {
      if (!listed) Throw(ErrorCode::kColumnCountMismatch, {}, statement.line);
      Throw(items < targets.size() ? ErrorCode::kInsertSelectFewerItems : ErrorCode::kInsertSelectMoreItems, {},
            statement.line);
    }
    source = ExecutePlan(*query.plan, context, nullptr);
    use_default.assign(source.cells.size(), 0);
  } else if (statement.default_values) {
    source.rows = 1;
    source.cells.resize(targets.size());
    use_default.assign(targets.size(), 1);
  } else {
    Value none;
    for (const auto& row : statement.values) {
      if (row.size() != targets.size()) {
        if (!listed) Throw(ErrorCode::kColumnCountMismatch, {}, statement.line);
        Throw(row.size() < targets.size() ? ErrorCode::kInsertMoreColumnsThanValues
                                          : ErrorCode::kInsertFewerColumnsThanValues,
              {}, statement.line);
      }
      for (const auto& value : row) {
        use_default.push_back(value ? 0 : 1);
        source.cells.push_back(value ? Evaluate(*binder.BindScalar(*value), EvalRow{&none, nullptr}, context) : Value());
      }
      ++source.rows;
    }
  }

  std::vector<BoundExprPtr> defaults(width);
  for (size_t c = 0; c < width; ++c) {
    if (table->schema()[c].default_value) defaults[c] = binder.BindScalar(*table->schema()[c].default_value);
  }
  std::vector<int> slot(width, -1);
  for (size_t i = 0; i < targets.size(); ++i) slot[targets[i]] = static_cast<int>(i);

  const int identity = table->identity_column();
  const TypeId id_type = identity < 0 || table->schema()[identity].type.id == TypeId::Decimal
                             ? TypeId::BigInt
                             : table->schema()[identity].type.id;
  int64_t first_identity = 0;
  std::vector<Value> cells(source.rows * width);
  Value none;
  for (size_t r = 0; r < source.rows; ++r) {
    for (size_t c = 0; c < width; ++c) {
      const ColumnSchema& column = table->schema()[c];
      Value value;
      if (column.identity) {
        value = Value::Integer(id_type, table->NextIdentity());
        if (r == 0) first_identity = value.i;
      } else if (slot[c] >= 0 && !use_default[r * targets.size() + slot[c]]) {
        value = source.Row(r)[slot[c]];
      } else if (defaults[c]) {
        value = Evaluate(*defaults[c], EvalRow{&none, nullptr}, context);
      }
      cells[r * width + c] = ConvertForColumn(value, column, *table, "INSERT", session_.database_name, context.arena);
    }
  }
  if (!table->keys().empty()) {
    const DuplicateKey duplicate = FindDuplicateNewKey(*table, cells, source.rows);
    if (duplicate.row >= 0) {
      // The rows after the offending one were never reached: their identity values stay unused.
      if (identity >= 0) {
        table->SeedIdentityAfter(first_identity + duplicate.row * table->schema()[identity].identity->increment);
      }
      ThrowDuplicateKey(*table, duplicate.key, &cells[duplicate.row * width]);
    }
  }
  table->AppendRows(cells);
  RowsAffected(source.rows);
}

}  // namespace orv::engine
