// Sorting an aggregation's input for WITHIN GROUP; see within_group.h.
#include "engine/planner/within_group.h"

namespace orv::engine {

PlanPtr SortWithinGroups(PlanPtr input, const BoundGrouping& grouping) {
  if (grouping.within_order.empty()) return input;
  const size_t width = input->width;
  auto project = std::make_unique<ProjectPlan>();
  for (size_t i = 0; i < width; ++i) project->exprs.push_back(MakeColumn(static_cast<int>(i), DataType{}, true));
  auto sort = std::make_unique<SortPlan>();
  for (size_t k = 0; k < grouping.within_order.size(); ++k) {
    project->exprs.push_back(CloneExpr(*grouping.within_order[k]));
    sort->keys.push_back(SortKey{width + k, grouping.within_descending[k]});
  }
  project->width = project->exprs.size();
  project->input = std::move(input);
  sort->width = project->width;
  sort->input = std::move(project);
  return sort;
}

}  // namespace orv::engine
