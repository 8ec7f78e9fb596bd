// UPDATE [alias] SET ... [FROM ... JOIN ...] [WHERE ...]. Every new value is
// computed from the rows as they were before the statement, converted and
// checked (keys included); only then are the target rows changed. A target row met several
// times through a join takes the values of its first match. The rows are read by position
// (update_positions.h) when the FROM ... WHERE allows, else as its plan streams them.
#include <algorithm>

#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/execution/column_writer.h"
#include "engine/execution/dml_target.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/key_check.h"
#include "engine/execution/statement_runner.h"
#include "engine/execution/update_positions.h"

namespace orv::engine {

void StatementRunner::RunUpdate(const ast::UpdateStmt& statement, Binder& binder, ExecContext& context) {
  BoundDmlTarget target = binder.BindDmlTarget(statement.target, statement.from.get(), statement.where.get(),
                                               statement.line);
  std::vector<size_t> columns;
  std::vector<BoundExprPtr> values;
  for (const auto& assignment : statement.assignments) {
    const std::string& name = assignment.column.back();
    const auto& schema = target.table->schema();
    size_t c = 0;
    while (c < schema.size() && !NamesEqual(schema[c].name, name)) ++c;
    if (c == schema.size()) Throw(ErrorCode::kInvalidColumnName, {name}, statement.line);
    if (schema[c].identity) Throw(ErrorCode::kCannotUpdateIdentity, {schema[c].name}, statement.line);
    if (std::find(columns.begin(), columns.end(), c) != columns.end()) {
      Throw(ErrorCode::kColumnAssignedTwice, {schema[c].name}, statement.line);
    }
    // A qualified column must be qualified by the target (its alias or its own name).
    if (assignment.column.size() > 1) {
      const std::string& qualifier = assignment.column[assignment.column.size() - 2];
      if (!NamesEqual(qualifier, target.exposed) && !NamesEqual(qualifier, target.table->name())) {
        Throw(ErrorCode::kMultiPartIdentifierNotBound, {JoinName(assignment.column)}, statement.line);
      }
    }
    columns.push_back(c);
    ExprContext set_context;
    values.push_back(binder.BindExpr(*assignment.value, target.scope, set_context));
    PlanSubqueries(*values.back(), context.subquery_plans);
  }
  Table& table = *target.table;
  std::vector<uint8_t> seen(table.row_count());
  std::vector<int64_t> changed_rows;
  changed_rows.reserve(table.row_count());  // the most there can be: the room past those taken is never touched
  // The new values are computed as the joined rows stream, a column apart
  // for each SET item (their texts live in the statement or a table read);
  // the table changes only after the last one.
  std::vector<Column> new_values;
  for (size_t c : columns) {
    new_values.emplace_back(table.schema()[c].type, nullptr);
    new_values.back().Reserve(table.row_count());
  }
  auto take = [&](int64_t id, auto&& value_of) {
    if (id < 0 || seen[id]) return;
    seen[id] = 1;
    changed_rows.push_back(id);
    for (size_t a = 0; a < columns.size(); ++a) {
      new_values[a].Append(ConvertForColumn(value_of(a), table.schema()[columns[a]], table, "UPDATE",
                                            session_.database_name, context.arena));
    }
  };
  if (std::unique_ptr<TargetPositions> rows = TargetPositions::Make(target, values, context)) {
    for (size_t count = rows->Next(); count > 0; count = rows->Next()) {
      for (size_t k = 0; k < count; ++k) {
        if (rows->Keeps(k)) take(rows->Target(k), [&](size_t a) { return rows->ValueOf(a, k); });
      }
    }
  } else {
    ForEachTargetRow(target, context, [&](const Value* values_row, int64_t id) {
      take(id, [&](size_t a) { return Evaluate(*values[a], EvalRow{values_row, nullptr}, context); });
    });
  }
  if (!table.keys().empty()) CheckUpdatedKeys(table, changed_rows, columns, new_values);
  session_.transaction.journal.Update(target.table, changed_rows, columns, new_values);
  RowsAffected(changed_rows.size());
}

void StatementRunner::RunDelete(const ast::DeleteStmt& statement, Binder& binder, ExecContext& context) {
  BoundDmlTarget target = binder.BindDmlTarget(statement.target, statement.from.get(), statement.where.get(),
                                               statement.line);
  std::vector<uint8_t> doomed(target.table->row_count());
  size_t count = 0;
  ForEachTargetRow(target, context, [&](const Value*, int64_t id) {
    if (id >= 0 && !doomed[id]) {
      doomed[id] = 1;
      ++count;
    }
  });
  if (count > 0) session_.transaction.journal.Delete(target.table, doomed);
  RowsAffected(count);
}

}  // namespace orv::engine
