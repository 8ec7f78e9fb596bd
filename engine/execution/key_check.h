// Enforces a table's PRIMARY KEY and UNIQUE constraints for INSERT and
// UPDATE before the table changes: a repeated key raises 2627 with the
// constraint's name and the repeated value, as SQL Server words it.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/storage/table.h"

namespace orv::engine {

struct DuplicateKey {
  int64_t row = -1;  // the offending new row, or -1 when every key stays unique
  size_t key = 0;    // which of the table's keys it repeats
};

// The first of `rows` new rows (row-major in `cells`, the table's width each)
// whose key is already stored or was met in an earlier new row.
DuplicateKey FindDuplicateNewKey(Table& table, const std::vector<Value>& cells, size_t rows);

// Raises 2627 for key `key` of `table` repeated with the values of `row`
// (the table's width of values).
[[noreturn]] void ThrowDuplicateKey(const Table& table, size_t key, const Value* row);

// Raises 2627 when the rows as an UPDATE leaves them (`new_values` holds, for
// each of `changed_rows`, the values of `columns`) would repeat a key. Keys
// without an assigned column cannot change and are not checked.
void CheckUpdatedKeys(const Table& table, const std::vector<int64_t>& changed_rows, const std::vector<size_t>& columns,
                      const std::vector<Value>& new_values);

}  // namespace orv::engine
