#include "results/row_source.h"

namespace orv::results {

ResultTable Materialize(const RowSource& rows) {
  ResultTable table;
  table.columns = rows.columns();
  table.rows.resize(rows.row_count());
  for (size_t r = 0; r < table.rows.size(); ++r) rows.Row(r, table.rows[r]);
  return table;
}

}  // namespace orv::results
