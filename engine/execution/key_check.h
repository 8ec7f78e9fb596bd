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

// A load whose rows come in order of a table's one key, a single integer
// column, as files exported from another system often do: while each new key
// is above every key before it, stored or new, none can repeat, and the rows
// are appended without probing the key's index (which, when it is not built
// yet, is built on first use after the load).
class RisingKey {
 public:
  explicit RisingKey(const Table& table);
  // Whether the key of `row` (the table's width of values) is above every one
  // so far, noting it; once a key is not, false for good.
  bool Rises(const Value* row);

 private:
  int column_ = -1;  // the key's column, -1 once keys no longer rise
  bool any_ = false;  // whether `last_` holds a key yet
  int64_t last_ = 0;
};

// Raises 2627 for key `key` of `table` repeated with the values of `row`
// (the table's width of values).
[[noreturn]] void ThrowDuplicateKey(const Table& table, size_t key, const Value* row);

// Raises 2627 when the rows as an UPDATE leaves them (new_values[a] holds
// column columns[a]'s value for each of `changed_rows`) would repeat a key. Keys
// without an assigned column cannot change and are not checked.
void CheckUpdatedKeys(const Table& table, const std::vector<int64_t>& changed_rows, const std::vector<size_t>& columns,
                      const std::vector<Column>& new_values);

}  // namespace orv::engine
