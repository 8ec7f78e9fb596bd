// Table scan: reads the columns the query uses, row by row, into one
// reusable row; with row ids it adds each row's position for UPDATE and DELETE.
#include "engine/execution/executor.h"

namespace orv::engine {

void StreamScan(const ScanPlan& plan, RowSink sink) {
  const Table& table = *plan.table;
  const size_t columns = table.column_count();
  std::vector<const Column*> read;
  std::vector<size_t> positions;
  for (size_t c = 0; c < columns; ++c) {
    if (!plan.read[c]) continue;
    read.push_back(&table.column(c));
    positions.push_back(c);
  }
  std::vector<Value> row(plan.width);
  for (size_t r = 0; r < table.row_count(); ++r) {
    for (size_t i = 0; i < read.size(); ++i) read[i]->Read(r, row[positions[i]]);
    if (plan.row_ids) row[columns] = Value::Integer(TypeId::BigInt, static_cast<int64_t>(r));
    sink(row.data());
  }
}

}  // namespace orv::engine
