// INSERT ... SELECT and SELECT ... INTO from one table's rows, or from a
// chain of joins of tables, a block of rows at a time (see
// position_source.h): a select-list item that is a column of a table read
// (or ISNULL of one with a constant, or a constant), stored as it is, goes
// from the source column's storage to the target column's with one type
// dispatch per block; its texts stay where the source table keeps them,
// which the target then keeps too. A CASE that picks among such items (see
// copied_choice.h) is picked, not evaluated, and converted row by row. Every
// other target column is computed row by row as the row path computes it. A block whose values might give the row path an
// error (a NULL for a NOT NULL column, a text longer than the column) or
// whose WHERE fails is run by the row path instead, so the rows stored and
// the first error raised are the row path's. A large block's columns are
// filled on the threads MAXDOP allows (see column_split.h); blocks of copied
// columns alone are gathered, as positions, into blocks large enough.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "engine/execution/exec_context.h"
#include "engine/planner/plan.h"
#include "engine/storage/table.h"

namespace orv::engine {

struct ColumnwiseTarget {
  Table* table = nullptr;
  // Per column of the table: the select-list item it stores, or -1 (identity, default).
  std::vector<int> item_of;
  // The row path's converted value of table column `column` for a row of select-list values `items`.
  std::function<Value(size_t column, const Value* items)> value_of;
  // The row path: converts and stores one row of select-list values.
  std::function<void(const Value* items)> add_row;
  // About how many rows the source may give (0: unknown), to size the table once it has taken many.
  size_t expected = 0;
};

// Stores the rows of `plan` when it selects from one table (a projection
// over a scan, with or without filters) or from such a chain of joins and
// returns true, with the count of
// rows stored a block at a time in `appended` (the row path counts its
// own); false, having done nothing, for any other plan.
bool InsertColumnwise(const PlanNode& plan, ExecContext& context, const ColumnwiseTarget& target, size_t& appended);

}  // namespace orv::engine
