// The switches from plan nodes to operators.
#include "engine/execution/executor.h"

#include <algorithm>

#include "engine/common/errors.h"
#include "engine/common/stack_depth.h"
#include "engine/storage/huge_pages.h"

namespace orv::engine {

const PlanNode& ExecContext::SubqueryPlan(const BoundQuery& query) const {
  auto it = subquery_plans.find(&query);
  if (it == subquery_plans.end()) Throw(ErrorCode::kInternal, {"a subquery that was never planned"});
  return *it->second;
}

void StreamPlan(const PlanNode& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  CheckStackDepth();
  switch (plan.kind) {
    case PlanKind::Scan:
      StreamScan(static_cast<const ScanPlan&>(plan), context, outer, sink);
      return;
    case PlanKind::Filter:
      StreamFilter(static_cast<const FilterPlan&>(plan), context, outer, sink);
      return;
    case PlanKind::Project:
      StreamProject(static_cast<const ProjectPlan&>(plan), context, outer, sink);
      return;
    case PlanKind::Join:
      StreamJoin(static_cast<const JoinPlan&>(plan), context, outer, sink);
      return;
    case PlanKind::Single:
      sink(nullptr);
      return;
    case PlanKind::Aggregate:
      StreamAggregate(static_cast<const AggregatePlan&>(plan), context, outer, sink);
      return;
    case PlanKind::Values:
      StreamValues(static_cast<const ValuesPlan&>(plan), context, outer, sink);
      return;
    case PlanKind::Apply:
      StreamApply(static_cast<const ApplyPlan&>(plan), context, outer, sink);
      return;
    case PlanKind::WorkingTable:
    case PlanKind::RecursiveCte:
    case PlanKind::Window:
    case PlanKind::Limit:
    case PlanKind::Sort:
    case PlanKind::Distinct:
    case PlanKind::Top:
    case PlanKind::SetOperation:
      break;
  }
  Relation rows = ExecutePlan(plan, context, outer);
  for (size_t r = 0; r < rows.rows; ++r) sink(rows.Row(r));
}

size_t KnownRowCount(const PlanNode& plan) {
  switch (plan.kind) {
    case PlanKind::Scan: {
      const auto& scan = static_cast<const ScanPlan&>(plan);
      return scan.predicates.empty() ? scan.table->row_count() : 0;
    }
    case PlanKind::Project:
      return KnownRowCount(*static_cast<const ProjectPlan&>(plan).input);
    case PlanKind::Join: {
      const auto& join = static_cast<const JoinPlan&>(plan);
      return join.type == ast::JoinType::Left ? KnownRowCount(*join.left) : 0;
    }
    default:
      return 0;
  }
}

size_t ExpectedRowCount(const PlanNode& plan) {
  switch (plan.kind) {
    case PlanKind::Scan:
      return static_cast<const ScanPlan&>(plan).table->row_count();
    case PlanKind::Project:
      return ExpectedRowCount(*static_cast<const ProjectPlan&>(plan).input);
    case PlanKind::Filter:
      return ExpectedRowCount(*static_cast<const FilterPlan&>(plan).input);
    case PlanKind::Join: {
      const auto& join = static_cast<const JoinPlan&>(plan);
      if (join.left_keys.empty()) return 0;  // a cross product has no such bound
      return std::max(ExpectedRowCount(*join.left), ExpectedRowCount(*join.right));
    }
    default:
      return 0;
  }
}

Relation ExecutePlan(const PlanNode& plan, ExecContext& context, const EvalRow* outer) {
  switch (plan.kind) {
    case PlanKind::Sort:
      return ExecuteSort(static_cast<const SortPlan&>(plan), context, outer);
    case PlanKind::Distinct:
      return ExecuteDistinct(static_cast<const DistinctPlan&>(plan), context, outer);
    case PlanKind::Top:
      return ExecuteTop(static_cast<const TopPlan&>(plan), context, outer);
    case PlanKind::SetOperation:
      return ExecuteSetOperation(static_cast<const SetOperationPlan&>(plan), context, outer);
    case PlanKind::WorkingTable:
      return WorkingTableRows(static_cast<const WorkingTablePlan&>(plan), context);
    case PlanKind::RecursiveCte:
      return ExecuteRecursiveCte(static_cast<const RecursiveCtePlan&>(plan), context, outer);
    case PlanKind::Window:
      return ExecuteWindow(static_cast<const WindowPlan&>(plan), context, outer);
    case PlanKind::Limit:
      return ExecuteLimit(static_cast<const LimitPlan&>(plan), context, outer);
    case PlanKind::Values:
    case PlanKind::Apply:
    case PlanKind::Aggregate:
    case PlanKind::Scan:
    case PlanKind::Single:
    case PlanKind::Filter:
    case PlanKind::Project:
    case PlanKind::Join:
      break;
  }
  Relation out(plan.width);
  ReserveHugePages(out.cells, KnownRowCount(plan) * plan.width);
  auto collect = [&out](const Value* row) { out.AppendRow(row); };
  StreamPlan(plan, context, outer, collect);
  return out;
}

}  // namespace orv::engine
