// Duplicate detection for keys: new rows are looked up in the table's key
// index and in an index of the statement's own rows; an UPDATE that assigns
// a key column checks the whole table as it would be afterwards, so that
// shifting keys (SET id = id + 1) pass as they do in SQL Server.
#include "engine/execution/key_check.h"

#include "engine/common/errors.h"
#include "engine/common/format_value.h"
#include "engine/storage/row_index.h"

namespace orv::engine {

DuplicateKey FindDuplicateNewKey(Table& table, const std::vector<Value>& cells, size_t rows) {
  const size_t width = table.column_count();
  std::vector<Value> values;
  DuplicateKey first;  // the earliest offending row over all keys: rows are inserted in order
  for (size_t k = 0; k < table.keys().size(); ++k) {
    const KeyConstraint& key = table.keys()[k];
    const RowIndex& stored = table.KeyIndex(k);
    RowIndex added(key.columns.size());
    if (rows > 1) added.Reserve(rows);
    values.resize(key.columns.size());
    bool inserted = true;
    const size_t end = first.row < 0 ? rows : static_cast<size_t>(first.row);
    for (size_t r = 0; r < end; ++r) {
      for (size_t i = 0; i < values.size(); ++i) values[i] = cells[r * width + key.columns[i]];
      if (rows > 1) added.FindOrInsert(values.data(), inserted);
      if (!inserted || stored.Find(values.data()) >= 0) {
        first = {static_cast<int64_t>(r), k};
        break;
      }
    }
  }
  return first;
}

RisingKey::RisingKey(const Table& table) {
  if (table.keys().size() != 1 || table.keys()[0].columns.size() != 1) return;
  const size_t column = table.keys()[0].columns[0];
  if (!IsInteger(table.schema()[column].type.id)) return;
  column_ = static_cast<int>(column);
  const Column& stored = table.column(column);
  for (size_t r = 0; r < table.row_count(); ++r) {
    const Value key = stored.Get(r);
    if (!key.is_null && (!any_ || key.i > last_)) last_ = key.i, any_ = true;
  }
}

bool RisingKey::Rises(const Value* row) {
  if (column_ < 0) return false;
  const Value& key = row[column_];
  if (key.is_null || (any_ && key.i <= last_)) {
    column_ = -1;
    return false;
  }
  last_ = key.i;
  any_ = true;
  return true;
}

void ThrowDuplicateKey(const Table& table, size_t key, const Value* row) {
  const KeyConstraint& constraint = table.keys()[key];
  std::string values;
  for (size_t i = 0; i < constraint.columns.size(); ++i) {
    const Value& value = row[constraint.columns[i]];
    values += (i ? ", " : "") + (value.is_null ? std::string("<NULL>") : FormatValue(value));
  }
  Throw(ErrorCode::kDuplicateKey,
        {constraint.primary ? "PRIMARY KEY" : "UNIQUE KEY", constraint.name, "dbo." + table.name(), values});
}

void CheckUpdatedKeys(const Table& table, const std::vector<int64_t>& changed_rows, const std::vector<size_t>& columns,
                      const std::vector<Column>& new_values) {
  const size_t width = table.column_count();
  std::vector<int> assigned(width, -1);  // per column: its place in `columns`
  for (size_t a = 0; a < columns.size(); ++a) assigned[columns[a]] = static_cast<int>(a);
  std::vector<int64_t> changed(changed_rows.empty() ? 0 : table.row_count(), -1);  // per row: its place in changed_rows
  for (size_t i = 0; i < changed_rows.size(); ++i) changed[changed_rows[i]] = static_cast<int64_t>(i);
  std::vector<Value> row(width);
  for (size_t k = 0; k < table.keys().size(); ++k) {
    const KeyConstraint& key = table.keys()[k];
    bool touched = false;
    for (size_t c : key.columns) touched = touched || assigned[c] >= 0;
    if (!touched || changed_rows.empty()) continue;
    RowIndex seen(key.columns.size());
    std::vector<Value> values(key.columns.size());
    bool inserted = false;
    for (size_t r = 0; r < table.row_count(); ++r) {
      for (size_t i = 0; i < values.size(); ++i) {
        const size_t c = key.columns[i];
        values[i] = changed[r] >= 0 && assigned[c] >= 0 ? new_values[assigned[c]].Get(changed[r])
                                                        : table.Get(r, c);
        row[c] = values[i];
      }
      seen.FindOrInsert(values.data(), inserted);
      if (!inserted) ThrowDuplicateKey(table, k, row.data());
    }
  }
}

}  // namespace orv::engine
