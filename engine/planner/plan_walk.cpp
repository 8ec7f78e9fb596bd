// The walk over a tree's expressions; see plan_walk.h.
#include "engine/planner/plan_walk.h"

namespace orv::engine {

void ForEachPlanExpression(PlanNode& plan, const std::function<void(BoundExprPtr&)>& visit) {
  switch (plan.kind) {
    case PlanKind::Scan:
    case PlanKind::Single:
      return;
    case PlanKind::Filter: {
      auto& filter = static_cast<FilterPlan&>(plan);
      visit(filter.predicate);
      return ForEachPlanExpression(*filter.input, visit);
    }
    case PlanKind::Project: {
      auto& project = static_cast<ProjectPlan&>(plan);
      for (auto& e : project.exprs) visit(e);
      return ForEachPlanExpression(*project.input, visit);
    }
    case PlanKind::Join: {
      auto& join = static_cast<JoinPlan&>(plan);
      for (auto& e : join.left_keys) visit(e);
      for (auto& e : join.right_keys) visit(e);
      visit(join.residual);
      ForEachPlanExpression(*join.left, visit);
      return ForEachPlanExpression(*join.right, visit);
    }
    case PlanKind::Aggregate: {
      auto& aggregate = static_cast<AggregatePlan&>(plan);
      for (auto& e : aggregate.groups) visit(e);
      for (auto& call : aggregate.aggregates) visit(call.argument);
      return ForEachPlanExpression(*aggregate.input, visit);
    }
    case PlanKind::Sort:
      return ForEachPlanExpression(*static_cast<SortPlan&>(plan).input, visit);
    case PlanKind::Distinct:
      return ForEachPlanExpression(*static_cast<DistinctPlan&>(plan).input, visit);
    case PlanKind::Top: {
      auto& top = static_cast<TopPlan&>(plan);
      visit(top.count);
      return ForEachPlanExpression(*top.input, visit);
    }
    case PlanKind::SetOperation: {
      auto& set = static_cast<SetOperationPlan&>(plan);
      ForEachPlanExpression(*set.left, visit);
      return ForEachPlanExpression(*set.right, visit);
    }
  }
}

}  // namespace orv::engine
