// INSERT ... VALUES / SELECT / DEFAULT VALUES. Every row is computed,
// converted and checked against the keys before the table changes, so a
// failing row inserts nothing. Columns left out get their default (bound
// again for this statement, so GETDATE() is evaluated per row) or NULL. Each
// row draws its identity value as it is converted; as in SQL Server, a failed
// INSERT keeps the values drawn up to the failing row, leaving a gap.
#include <algorithm>
#include <optional>

#include "engine/catalog/names.h"
#include "engine/common/errors.h"
#include "engine/execution/column_writer.h"
#include "engine/execution/columnwise_insert.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"
#include "engine/execution/key_check.h"
#include "engine/execution/statement_runner.h"
#include "engine/function/scalar.h"
#include "engine/parser/parser.h"
#include "engine/planner/planner.h"
#include "engine/storage/huge_pages.h"

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

bool PlanReadsTable(const PlanNode& plan, const Table& table) {
  switch (plan.kind) {
    case PlanKind::Scan:
      return static_cast<const ScanPlan&>(plan).table.get() == &table;
    case PlanKind::Single:
      return false;
    case PlanKind::Filter:
      return PlanReadsTable(*static_cast<const FilterPlan&>(plan).input, table);
    case PlanKind::Project:
      return PlanReadsTable(*static_cast<const ProjectPlan&>(plan).input, table);
    case PlanKind::Aggregate:
      return PlanReadsTable(*static_cast<const AggregatePlan&>(plan).input, table);
    case PlanKind::Sort:
      return PlanReadsTable(*static_cast<const SortPlan&>(plan).input, table);
    case PlanKind::Distinct:
      return PlanReadsTable(*static_cast<const DistinctPlan&>(plan).input, table);
    case PlanKind::Top:
      return PlanReadsTable(*static_cast<const TopPlan&>(plan).input, table);
    case PlanKind::Join: {
      const auto& join = static_cast<const JoinPlan&>(plan);
      return PlanReadsTable(*join.left, table) || PlanReadsTable(*join.right, table);
    }
    case PlanKind::SetOperation: {
      const auto& set = static_cast<const SetOperationPlan&>(plan);
      return PlanReadsTable(*set.left, table) || PlanReadsTable(*set.right, table);
    }
    default:
      // Windows, APPLY, CTEs and the like: taken to read it, so the rows are gathered first.
      return true;
  }
}

// Rows of INSERT ... SELECT may go straight into the table, with no copy of
// them all first, when no key must be checked against the new rows as a whole
// and nothing the statement runs reads the table while it grows.
bool CanInsertAsSelected(const Table& table, const PlanNode& plan, const ExecContext& context) {
  if (!table.keys().empty() || PlanReadsTable(plan, table)) return false;
  for (const auto& [query, subquery] : context.subquery_plans) {
    if (PlanReadsTable(*subquery, table)) return false;
  }
  return true;
}

// An INSERT that has stored this many rows is large: its target is sized
// then for the rest, so a small one never holds room for rows it did not get.
constexpr size_t kLargeInsert = size_t{1} << 16;

}  // namespace

void StatementRunner::RunInsert(const ast::InsertStmt& statement, Binder& binder, ExecContext& context) {
  std::shared_ptr<Table> table = binder.LookupTable(statement.table, statement.line);
  std::vector<size_t> targets = TargetColumns(statement, *table);
  const bool listed = !statement.columns.empty();
  const size_t width = table->column_count();

  std::vector<BoundExprPtr> defaults(width);
  for (size_t c = 0; c < width; ++c) {
    const std::string& text = table->schema()[c].default_text;
    if (text.empty()) continue;
    defaults[c] = binder.BindScalar(*ParseScalarExpression(text, statement.line));
    PlanSubqueries(*defaults[c], context.subquery_plans);
  }
  std::vector<int> slot(width, -1);
  for (size_t i = 0; i < targets.size(); ++i) slot[targets[i]] = static_cast<int>(i);
  const int identity = table->identity_column();
  const TypeId id_type = identity < 0 || table->schema()[identity].type.id == TypeId::Decimal
                             ? TypeId::BigInt
                             : table->schema()[identity].type.id;

  // The new rows, converted to the table's columns as the source produces
  // them. `source` holds one value per target column; where `use_default`
  // flags one (or the column is not a target) the column's default applies.
  std::vector<Value> cells;
  size_t rows = 0;
  std::optional<int64_t> first_identity;
  Value none;
  bool direct = false;  // rows go straight into the table
  size_t expected = 0;  // rows the source may give, once it has given kLargeInsert
  std::vector<Value> converted(width);
  auto column_value = [&](size_t c, const Value* source, const uint8_t* use_default) {
    const ColumnSchema& column = table->schema()[c];
    Value value;
    if (column.identity) {
      value = Value::Integer(id_type, table->NextIdentity());
      if (!first_identity) first_identity = value.i;
    } else if (slot[c] >= 0 && !(use_default && use_default[slot[c]])) {
      value = source[slot[c]];
    } else if (defaults[c]) {
      value = Evaluate(*defaults[c], EvalRow{&none, nullptr}, context);
    }
    return ConvertForColumn(value, column, *table, "INSERT", session_.database_name, context.arena);
  };
  auto add_row = [&](const Value* source, const uint8_t* use_default) {
    for (size_t c = 0; c < width; ++c) converted[c] = column_value(c, source, use_default);
    if (direct) {
      // Grown once to the rows the source may give, not doubled (and copied) again and again.
      if (rows == kLargeInsert) table->Reserve(table->row_count() - rows + std::max(expected, rows));
      table->AppendRow(converted.data());
    } else {
      cells.insert(cells.end(), converted.begin(), converted.end());
    }
    ++rows;
  };

  if (statement.query) {
    BoundQuery query = binder.BindQuery(*statement.query, nullptr, nullptr, false);
    PlanPtr plan = PlanQuery(query, context.subquery_plans);
    size_t items = query.columns.size();
    if (items != targets.size()) {
      if (!listed) Throw(ErrorCode::kColumnCountMismatch, {}, statement.line);
      Throw(items < targets.size() ? ErrorCode::kInsertSelectFewerItems : ErrorCode::kInsertSelectMoreItems, {},
            statement.line);
    }
    auto add_selected = [&](const Value* row) { add_row(row, nullptr); };
    direct = CanInsertAsSelected(*table, *plan, context);
    if (direct) {
      const size_t before = table->row_count();
      table->Reserve(before + KnownRowCount(*plan));
      expected = ExpectedRowCount(*plan);
      const ColumnwiseTarget target{table.get(), slot,
                                    [&](size_t c, const Value* items) { return column_value(c, items, nullptr); },
                                    add_selected, expected};
      try {
        size_t appended = 0;
        if (!InsertColumnwise(*plan, context, target, appended)) StreamPlan(*plan, context, nullptr, add_selected);
        rows += appended;
      } catch (...) {
        table->TruncateRows(before);
        throw;
      }
      session_.transaction.journal.Appended(table, before);
    } else {
      ReserveHugePages(cells, KnownRowCount(*plan) * width);
      StreamPlan(*plan, context, nullptr, add_selected);
    }
  } else if (statement.default_values) {
    std::vector<uint8_t> all_default(targets.size(), 1);
    add_row(nullptr, all_default.data());
  } else {
    // Every row is bound before any is computed, as SQL Server compiles the
    // whole statement first; null stands for DEFAULT and for a literal, whose
    // value is taken at once: a script of a million rows is mostly literals,
    // and an expression object for each cost more than the insert itself.
    std::vector<BoundExprPtr> bound;
    std::vector<std::optional<Value>> literals;  // per item: a literal's value
    for (const auto& row : statement.values) {
      if (row.size() != targets.size()) {
        if (!listed) Throw(ErrorCode::kColumnCountMismatch, {}, statement.line);
        Throw(row.size() < targets.size() ? ErrorCode::kInsertMoreColumnsThanValues
                                          : ErrorCode::kInsertFewerColumnsThanValues,
              {}, statement.line);
      }
      for (const auto& value : row) {
        literals.emplace_back();
        if (value && value->kind == ast::ExprKind::Literal) {
          const auto& item = static_cast<const ast::LiteralExpr&>(*value);
          literals.back() = LiteralValue(item.literal_type, item.text, LiteralType(item.literal_type, item.text),
                                         binder.context().arena);
          bound.push_back(nullptr);
          continue;
        }
        bound.push_back(value ? binder.BindScalar(*value) : nullptr);
        if (bound.back()) PlanSubqueries(*bound.back(), context.subquery_plans);
      }
    }
    std::vector<Value> values(targets.size());
    std::vector<uint8_t> use_default(targets.size());
    for (size_t r = 0; r < statement.values.size(); ++r) {
      for (size_t i = 0; i < targets.size(); ++i) {
        const size_t item = r * targets.size() + i;
        const BoundExpr* value = bound[item].get();
        use_default[i] = value || literals[item] ? 0 : 1;
        if (literals[item]) {
          values[i] = *literals[item];
        } else {
          values[i] = value ? Evaluate(*value, EvalRow{&none, nullptr}, context) : Value();
        }
      }
      add_row(values.data(), use_default.data());
    }
  }

  if (!direct && !table->keys().empty()) {
    const DuplicateKey duplicate = FindDuplicateNewKey(*table, cells, rows);
    if (duplicate.row >= 0) {
      // The rows after the offending one were never reached: their identity values stay unused.
      if (identity >= 0) {
        table->SeedIdentityAfter(*first_identity + duplicate.row * table->schema()[identity].identity->increment);
      }
      ThrowDuplicateKey(*table, duplicate.key, &cells[duplicate.row * width]);
    }
  }
  if (!direct) session_.transaction.journal.Append(table, cells);
  if (identity >= 0 && rows > 0) {
    NoteIdentity(*first_identity + static_cast<int64_t>(rows - 1) * table->schema()[identity].identity->increment);
  }
  RowsAffected(rows);
}

}  // namespace orv::engine
