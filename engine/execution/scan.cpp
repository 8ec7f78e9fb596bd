// Table scan: reads the columns the query uses, row by row, into one
// reusable row; with row ids it adds each row's position for UPDATE and
// DELETE. Rows its predicates drop are never read.
#include "engine/execution/executor.h"
#include "engine/execution/scan_selector.h"

namespace orv::engine {

void StreamScan(const ScanPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  ScanRow row(plan);
  ForEachKeptRow(plan, context, outer, [&](size_t r) { sink(row.Read(r)); });
}

}  // namespace orv::engine
