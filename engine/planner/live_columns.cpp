// Column liveness over the operator tree; see live_columns.h.
#include "engine/planner/live_columns.h"

#include "engine/binder/bound_query.h"

namespace orv::engine {
namespace {

using Reads = std::vector<uint8_t>;

void CollectSubqueryReads(BoundQuery& query, int level, Reads& reads);

// Marks in `reads` the columns of the row at `level` (0: the row `expr` is
// evaluated on; 1: the row around a subquery ...) that `expr` names.
void CollectReads(const BoundExpr* expr, int level, Reads& reads) {
  if (expr == nullptr) return;
  const auto* column = expr->As<bound::Column>();
  if (column && column->depth == level) reads[static_cast<size_t>(column->position)] = 1;
  if (const bound::Subquery* subquery = SubqueryOf(*expr)) CollectSubqueryReads(*subquery->query, level + 1, reads);
  ForEachChild(*expr, [&](const BoundExprPtr& child) { CollectReads(child.get(), level, reads); });
}

// Every expression of a subquery, for its references `level` rows out.
void CollectSubqueryReads(BoundQuery& query, int level, Reads& reads) {
  ForEachQueryExpression(query, [&](BoundExprPtr& e) { CollectReads(e.get(), level, reads); });
}

Reads All(const PlanNode& plan) { return Reads(plan.width, 1); }

// `plan`'s rows are read in the columns flagged in `needed`.
void Need(PlanNode& plan, Reads needed) {
  switch (plan.kind) {
    case PlanKind::Scan:
    case PlanKind::Single:
    case PlanKind::Values:
    case PlanKind::WorkingTable:
    case PlanKind::RecursiveCte:
      return;
    case PlanKind::Apply: {
      auto& apply = static_cast<ApplyPlan&>(plan);
      Need(*apply.left, All(*apply.left));
      return Need(*apply.right, All(*apply.right));
    }
    case PlanKind::Window: {
      auto& window = static_cast<WindowPlan&>(plan);
      return Need(*window.input, All(*window.input));
    }
    case PlanKind::Limit:
      return Need(*static_cast<LimitPlan&>(plan).input, std::move(needed));
    case PlanKind::Project: {
      auto& project = static_cast<ProjectPlan&>(plan);
      Reads below(project.input->width);
      for (size_t c = 0; c < project.exprs.size(); ++c) {
        if (needed[c]) CollectReads(project.exprs[c].get(), 0, below);
      }
      project.live = std::move(needed);
      return Need(*project.input, std::move(below));
    }
    case PlanKind::Filter: {
      auto& filter = static_cast<FilterPlan&>(plan);
      CollectReads(filter.predicate.get(), 0, needed);
      return Need(*filter.input, std::move(needed));
    }
    case PlanKind::Join: {
      auto& join = static_cast<JoinPlan&>(plan);
      const size_t left_width = join.left->width;
      CollectReads(join.residual.get(), 0, needed);
      Reads left(needed.begin(), needed.begin() + static_cast<ptrdiff_t>(left_width));
      Reads right(needed.begin() + static_cast<ptrdiff_t>(left_width), needed.end());
      for (const auto& e : join.left_keys) CollectReads(e.get(), 0, left);
      for (const auto& e : join.right_keys) CollectReads(e.get(), 0, right);
      Need(*join.left, std::move(left));
      return Need(*join.right, std::move(right));
    }
    case PlanKind::Aggregate: {
      auto& aggregate = static_cast<AggregatePlan&>(plan);
      Reads below(aggregate.input->width);
      for (const auto& e : aggregate.groups) CollectReads(e.get(), 0, below);
      for (const auto& call : aggregate.aggregates) CollectReads(call.argument.get(), 0, below);
      aggregate.live = std::move(needed);
      return Need(*aggregate.input, std::move(below));
    }
    case PlanKind::Sort: {
      auto& sort = static_cast<SortPlan&>(plan);
      for (const SortKey& key : sort.keys) needed[key.column] = 1;
      return Need(*sort.input, std::move(needed));
    }
    case PlanKind::Top:
      return Need(*static_cast<TopPlan&>(plan).input, std::move(needed));
    case PlanKind::Distinct: {
      // Rows are told apart by every column.
      auto& distinct = static_cast<DistinctPlan&>(plan);
      return Need(*distinct.input, All(*distinct.input));
    }
    case PlanKind::SetOperation: {
      auto& set = static_cast<SetOperationPlan&>(plan);
      Need(*set.left, All(*set.left));
      return Need(*set.right, All(*set.right));
    }
  }
}

}  // namespace

void MarkLiveColumns(PlanNode& plan) { Need(plan, All(plan)); }

}  // namespace orv::engine
