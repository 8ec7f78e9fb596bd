// Rows read one at a time instead of held whole: a report's million lines
// pass from the record set through the view for people to the output
// without a copy of every cell in memory. A writer may read the rows more
// than once (a table measures its columns first).
#pragma once

#include <vector>

#include "results/result_table.h"

namespace orv::results {

class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual const std::vector<ResultColumn>& columns() const = 0;
  virtual size_t row_count() const = 0;
  // Row `r`'s cells into `cells`, as wide as the columns; their strings keep
  // the room they had, so reading row after row into one vector allocates little.
  virtual void Row(size_t r, std::vector<Cell>& cells) const = 0;
};

// The rows of a table held whole.
class TableRows final : public RowSource {
 public:
  explicit TableRows(const ResultTable& table) : table_(table) {}
  const std::vector<ResultColumn>& columns() const override { return table_.columns; }
  size_t row_count() const override { return table_.rows.size(); }
  void Row(size_t r, std::vector<Cell>& cells) const override { cells = table_.rows[r]; }

 private:
  const ResultTable& table_;
};

// Every row of `rows` held whole.
ResultTable Materialize(const RowSource& rows);

}  // namespace orv::results
