// Which select-list items a SELECT may read after its join; see late_columns.h.
#include "engine/planner/late_columns.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace orv::engine {

LateColumns DeferJoinedColumns(PlanNode& plan) {
  if (plan.kind != PlanKind::Project) return {};
  auto& project = static_cast<ProjectPlan&>(plan);
  if (project.input->kind != PlanKind::Join) return {};
  auto& join = static_cast<JoinPlan&>(*project.input);

  // Columns of the scan's row read by anything but a bare select-list item.
  std::vector<size_t> read;
  PlanNode* node = join.right.get();
  while (node->kind == PlanKind::Filter) {
    auto& filter = static_cast<FilterPlan&>(*node);
    if (!AddColumnsRead(*filter.predicate, read)) return {};
    node = filter.input.get();
  }
  if (node->kind != PlanKind::Scan) return {};
  auto& scan = static_cast<ScanPlan&>(*node);
  const Table& table = *scan.table;
  if (scan.row_ids || scan.position_column >= 0 || table.row_count() > std::numeric_limits<uint32_t>::max()) {
    return {};
  }
  for (const BoundExprPtr& key : join.right_keys) {
    if (!AddColumnsRead(*key, read)) return {};
  }
  const size_t offset = join.left->width;
  std::vector<size_t> joined;  // positions of the joined row
  if (join.residual && !AddColumnsRead(*join.residual, joined)) return {};
  std::vector<LateColumn> bare;
  for (size_t i = 0; i < project.exprs.size(); ++i) {
    if (!project.live.empty() && !project.live[i]) continue;
    const BoundExpr& expr = *project.exprs[i];
    const auto* column = expr.As<bound::Column>();
    if (column && column->depth == 0 && static_cast<size_t>(column->position) >= offset &&
        static_cast<size_t>(column->position) < offset + table.column_count()) {
      bare.push_back(LateColumn{i, static_cast<size_t>(column->position) - offset});
    } else if (!AddColumnsRead(expr, joined)) {
      return {};
    }
  }
  for (size_t position : joined) {
    if (position >= offset) read.push_back(position - offset);
  }

  LateColumns late;
  for (const LateColumn& item : bare) {
    if (std::find(read.begin(), read.end(), item.column) == read.end()) late.columns.push_back(item);
  }
  if (late.columns.empty()) return {};
  late.table = scan.table;
  late.carrier = late.columns.front().output;
  scan.position_column = static_cast<int>(late.columns.front().column);
  scan.read[late.columns.front().column] = 1;
  for (const LateColumn& item : late.columns) {
    if (!scan.IsPositionColumn(item.column)) scan.read[item.column] = 0;
  }
  return late;
}

}  // namespace orv::engine
