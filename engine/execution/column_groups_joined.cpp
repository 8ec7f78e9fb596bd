// ColumnGroups over a chain of joins: the joined rows come a block at a time
// as positions in their tables, and each key and argument is read from its
// table's column at its own positions. A block whose filter failed on a row
// (or an exact sum's overflow) sends the whole query to the row path, which
// raises the error after the rows before it, as it always does.
#include <algorithm>
#include <memory>

#include "engine/execution/column_groups.h"
#include "engine/execution/position_source.h"
#include "engine/execution/scan_selector.h"

namespace orv::engine {

bool StreamJoinedGroups(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  std::unique_ptr<PositionSource> source = JoinPositions(*plan.input, context, outer);
  if (!source) return false;
  const auto locate = [&](const BoundExpr& expr, size_t& table, bool& missing) -> const Column* {
    const auto* column = expr.As<bound::Column>();
    if (!column || column->depth != 0) return nullptr;
    const Column* found = source->ColumnAt(static_cast<size_t>(column->position), table);
    missing = found && source->MayBeMissing(table);
    return found;
  };
  const std::optional<ColumnGroups> groups = ColumnGroups::Prepare(plan, locate, true);
  if (!groups) return false;
  // No value is read as a row, but for the filters.
  source->Need(std::vector<uint8_t>(plan.input->width));
  ColumnGroupsPart part;
  std::vector<const uint32_t*> rows(source->Tables());
  bool exact = true;
  for (size_t count = source->Next(exact); count > 0; count = source->Next(exact)) {
    if (!exact) return false;
    // Matches may make a block of joined rows longer than a scan's.
    for (size_t first = 0; first < count; first += ScanSelector::kBlock) {
      for (size_t t = 0; t < rows.size(); ++t) rows[t] = source->Positions(t) + first;
      groups->Add(part, rows.data(), std::min(ScanSelector::kBlock, count - first));
      if (part.overflow) return false;
    }
  }
  groups->Write(part, context.arena, sink);
  return true;
}

}  // namespace orv::engine
