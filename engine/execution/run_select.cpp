// SELECT returns a result set; SELECT ... INTO creates a table shaped by the
// query (names, types, nullability, a bare identity column's identity) and
// fills it.
#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/execution/column_writer.h"
#include "engine/execution/columnwise_insert.h"
#include "engine/execution/columnwise_select.h"
#include "engine/execution/executor.h"
#include "engine/execution/statement_runner.h"
#include "engine/planner/planner.h"

namespace orv::engine {

void StatementRunner::RunSelect(const ast::SelectStmt& statement, Binder& binder, ExecContext& context) {
  BoundQuery query = binder.BindQuery(*statement.query, nullptr, nullptr, false);
  PlanPtr plan = PlanQuery(query, context.subquery_plans);
  std::vector<ColumnInfo> columns;
  for (const OutputColumn& column : query.columns) columns.push_back(ColumnInfo{column.name, column.type, column.nullable});
  ResultSet result(std::move(columns));
  size_t count = 0;
  auto append = [&](const Value* row) {
    result.AppendRow(row);
    ++count;
  };
  if (!SelectColumnwise(*plan, context, result, count)) StreamPlan(*plan, context, nullptr, append);
  result_.result_sets.push_back(std::move(result));
  RowsAffected(count);
}

void StatementRunner::RunSelectInto(const ast::SelectStmt& statement, const ast::Name& into, Binder& binder,
                                    ExecContext& context) {
  const std::string& name = into.back();
  if (name.rfind("##", 0) == 0) Throw(ErrorCode::kNotSupported, {"The global temporary table " + name}, statement.line);
  bool temp = name[0] == '#';
  if (temp ? session_.FindTemp(name) != nullptr : (catalog_.FindTable(name) || catalog_.FindView(name))) {
    Throw(ErrorCode::kObjectAlreadyExists, {name}, statement.line);
  }
  BoundQuery query = binder.BindQuery(*statement.query, nullptr, nullptr, false);
  PlanPtr plan = PlanQuery(query, context.subquery_plans);
  std::vector<ColumnSchema> schema;
  bool has_identity = false;
  for (const OutputColumn& column : query.columns) {
    if (column.name.empty()) Throw(ErrorCode::kMissingColumnNameInto, {}, statement.line);
    CheckNewColumnName(schema, column.name, name, statement.line);
    ColumnSchema entry;
    entry.name = column.name;
    // An untyped NULL column becomes int, as in SQL Server.
    entry.type = column.type.id == TypeId::Null ? DataType{TypeId::Int} : column.type;
    entry.nullable = column.nullable;
    if (column.identity && !has_identity) {
      entry.identity = column.identity;
      has_identity = true;
    }
    schema.push_back(std::move(entry));
  }
  // The table is filled while the query streams; it joins the catalog only
  // once every row has been stored, so a failing query leaves nothing behind.
  auto table = std::make_shared<Table>(name, std::move(schema));
  const size_t width = table->column_count();
  const int identity_column = table->identity_column();
  std::vector<Value> converted(width);
  std::optional<int64_t> last_identity;
  size_t count = 0;
  auto convert = [&](size_t c, const Value* row) {
    return ConvertForColumn(row[c], table->schema()[c], *table, "INSERT", session_.database_name, context.arena);
  };
  auto store = [&](const Value* row) {
    for (size_t c = 0; c < width; ++c) converted[c] = convert(c, row);
    if (identity_column >= 0 && !converted[identity_column].is_null) {
      int64_t id = converted[identity_column].i;
      last_identity = last_identity ? std::max(*last_identity, id) : id;
    }
    table->AppendRows(converted);
    ++count;
  };
  table->Reserve(KnownRowCount(*plan));
  // An identity column copied in sets where the table's identity goes on: row by row.
  std::vector<int> item_of(width);
  for (size_t c = 0; c < width; ++c) item_of[c] = static_cast<int>(c);
  const ColumnwiseTarget target{table.get(), std::move(item_of), convert, store};
  size_t appended = 0;
  if (identity_column >= 0 || !InsertColumnwise(*plan, context, target, appended)) {
    StreamPlan(*plan, context, nullptr, store);
  }
  count += appended;
  if (last_identity) table->SeedIdentityAfter(*last_identity);
  session_.transaction.journal.AddTable(catalog_, session_, std::move(table));
  RowsAffected(count);
}

}  // namespace orv::engine
