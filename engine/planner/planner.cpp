// Operator trees from bound queries; see planner.h.
#include "engine/planner/planner.h"

#include "engine/common/stack_depth.h"
#include "engine/planner/join_planner.h"
#include "engine/planner/live_columns.h"
#include "engine/planner/within_group.h"

namespace orv::engine {
namespace {

template <typename Node>
std::unique_ptr<Node> Over(PlanPtr input, size_t width) {
  auto node = std::make_unique<Node>();
  node->input = std::move(input);
  node->width = width;
  return node;
}

class QueryPlanner {
 public:
  explicit QueryPlanner(SubqueryPlans& subqueries) : subqueries_(subqueries) {}

  // A statement's query or a subquery: the whole of its rows is read, so
  // what its own parts leave unread can be skipped.
  PlanPtr Root(const BoundQuery& query) {
    PlanPtr plan = Query(query);
    MarkLiveColumns(*plan);
    return plan;
  }

  PlanPtr Query(const BoundQuery& query) {
    CheckStackDepth();
    if (const auto* select = std::get_if<BoundSelect>(&query.body)) return Select(*select, query.columns.size());
    return SetOperation(std::get<BoundSetOperation>(query.body), query.columns.size());
  }

  PlanPtr Table(const BoundTableRef& ref) {
    if (const auto* base = std::get_if<BoundBaseTable>(&ref.source)) {
      auto scan = std::make_unique<ScanPlan>();
      scan->width = ref.width;
      scan->table = base->table;
      scan->row_ids = base->row_ids;
      scan->read = base->read;
      return scan;
    }
    if (const auto* derived = std::get_if<BoundDerivedTable>(&ref.source)) return Query(*derived->query);
    if (!std::holds_alternative<BoundJoin>(ref.source)) return TableSource(ref);
    const auto& bound = std::get<BoundJoin>(ref.source);
    if (bound.apply) {
      auto apply = std::make_unique<ApplyPlan>();
      apply->outer = bound.type == ast::JoinType::Left;
      apply->left = Table(*bound.left);
      apply->right = Table(*bound.right);
      apply->width = ref.width;
      return apply;
    }
    auto join = std::make_unique<JoinPlan>();
    join->type = bound.type;
    join->left = Table(*bound.left);
    join->right = Table(*bound.right);
    join->width = ref.width;
    PlanJoinCondition(Copy(bound.on.get()), join->left->width, *join);
    return join;
  }

  // VALUES, a recursive CTE and its working table.
  PlanPtr TableSource(const BoundTableRef& ref) {
    if (const auto* values = std::get_if<BoundValues>(&ref.source)) {
      auto plan = std::make_unique<ValuesPlan>();
      plan->width = ref.width;
      for (const auto& row : values->rows) {
        std::vector<BoundExprPtr> copies;
        for (const auto& e : row) copies.push_back(Copy(e.get()));
        plan->rows.push_back(std::move(copies));
      }
      return plan;
    }
    if (const auto* working = std::get_if<BoundWorkingTable>(&ref.source)) {
      auto plan = std::make_unique<WorkingTablePlan>();
      plan->width = ref.width;
      plan->table = working->table;
      return plan;
    }
    const auto& cte = std::get<BoundRecursiveCte>(ref.source);
    auto plan = std::make_unique<RecursiveCtePlan>();
    plan->width = ref.width;
    plan->table = cte.table;
    plan->max_recursion = cte.max_recursion;
    plan->anchor = Query(*cte.anchor);
    for (const auto& member : cte.members) plan->members.push_back(Query(*member));
    return plan;
  }

  // A copy of `expr` for a plan (null stays null), its subqueries planned.
  BoundExprPtr Copy(const BoundExpr* expr) {
    if (!expr) return nullptr;
    PlanSubqueriesOf(*expr);
    return CloneExpr(*expr);
  }

  void PlanSubqueriesOf(const BoundExpr& expr) {
    CheckStackDepth();
    const bound::Subquery* subquery = SubqueryOf(expr);
    if (subquery && !subqueries_.contains(subquery->query.get())) {
      PlanPtr plan = Root(*subquery->query);
      subqueries_.emplace(subquery->query.get(), std::move(plan));
    }
    ForEachChild(expr, [&](const BoundExprPtr& child) { PlanSubqueriesOf(*child); });
  }

 private:
  PlanPtr Select(const BoundSelect& select, size_t columns) {
    PlanPtr plan = select.from ? Table(*select.from) : std::make_unique<SinglePlan>();
    if (select.where) plan = PlanFilter(std::move(plan), Copy(select.where.get()));
    if (select.grouping) {
      const BoundGrouping& grouping = *select.grouping;
      auto aggregate = Over<AggregatePlan>(SortWithinGroups(std::move(plan), grouping), grouping.width());
      aggregate->rollup = grouping.rollup;
      aggregate->sets = grouping.sets;
      for (const auto& group : grouping.groups) aggregate->groups.push_back(Copy(group.get()));
      for (const AggregateCall& call : grouping.aggregates) {
        aggregate->aggregates.push_back(
            AggregateCall{call.kind, call.distinct, Copy(call.argument.get()), call.argument_type, call.result_type,
                          call.separator});
      }
      plan = std::move(aggregate);
      // HAVING reads the aggregate's rows: nothing below could take it.
      if (select.having) {
        auto filter = Over<FilterPlan>(std::move(plan), grouping.width());
        filter->predicate = Copy(select.having.get());
        plan = std::move(filter);
      }
    }
    if (!select.windows.empty()) {
      const size_t width = plan->width + select.windows.size();  // read before the move below
      auto window = Over<WindowPlan>(std::move(plan), width);
      for (const auto& w : select.windows) window->windows.push_back(Copy(w.get()));
      plan = std::move(window);
    }
    auto project = Over<ProjectPlan>(std::move(plan), select.items.size());
    for (const auto& item : select.items) project->exprs.push_back(Copy(item.get()));
    plan = std::move(project);
    if (select.distinct) plan = Over<DistinctPlan>(std::move(plan), select.items.size());
    if (!select.order.empty()) {
      auto sort = Over<SortPlan>(std::move(plan), select.items.size());
      sort->keys = select.order;
      plan = std::move(sort);
    }
    if (select.top && !select.top_with_ties && !select.top_percent) {
      auto top = Over<TopPlan>(std::move(plan), select.items.size());
      top->count = Copy(select.top.get());
      top->percent = select.top_percent;
      plan = std::move(top);
    } else if (select.top || select.offset) {
      auto limit = Over<LimitPlan>(std::move(plan), select.items.size());
      limit->offset = Copy(select.offset.get());
      limit->count = Copy(select.top ? select.top.get() : select.fetch.get());
      limit->percent = select.top_percent;
      limit->with_ties = select.top_with_ties;
      limit->keys = select.order;
      plan = std::move(limit);
    }
    if (select.items.size() > columns) {
      // Drop the ORDER BY columns that are not in the select list.
      std::vector<BoundExprPtr> kept;
      for (size_t i = 0; i < columns; ++i) {
        const BoundExpr& item = *select.items[i];
        kept.push_back(MakeColumn(static_cast<int>(i), item.type, item.nullable));
      }
      plan = Project(std::move(plan), std::move(kept));
    }
    return plan;
  }

  PlanPtr SetOperation(const BoundSetOperation& bound, size_t columns) {
    auto set = std::make_unique<SetOperationPlan>();
    set->op = bound.op;
    set->width = columns;
    set->left = Side(*bound.left, bound.left_columns);
    set->right = Side(*bound.right, bound.right_columns);
    if (bound.order.empty()) return set;
    auto sort = Over<SortPlan>(std::move(set), columns);
    sort->keys = bound.order;
    if (!bound.offset) return sort;
    auto limit = Over<LimitPlan>(std::move(sort), columns);
    limit->offset = Copy(bound.offset.get());
    limit->count = Copy(bound.fetch.get());
    return limit;
  }

  // One side of a set operation, converted to the result's column types.
  PlanPtr Side(const BoundQuery& query, const std::vector<BoundExprPtr>& conversions) {
    PlanPtr plan = Query(query);
    if (conversions.empty()) return plan;
    std::vector<BoundExprPtr> exprs;
    for (const auto& e : conversions) exprs.push_back(Copy(e.get()));
    return Project(std::move(plan), std::move(exprs));
  }

  static PlanPtr Project(PlanPtr input, std::vector<BoundExprPtr> exprs) {
    auto project = Over<ProjectPlan>(std::move(input), exprs.size());
    project->exprs = std::move(exprs);
    return project;
  }

  SubqueryPlans& subqueries_;
};

}  // namespace

PlanPtr PlanQuery(const BoundQuery& query, SubqueryPlans& subqueries) { return QueryPlanner(subqueries).Root(query); }

PlanPtr PlanDmlRows(const BoundTableRef& from, const BoundExpr* where, SubqueryPlans& subqueries) {
  QueryPlanner planner(subqueries);
  PlanPtr plan = planner.Table(from);
  if (where) plan = PlanFilter(std::move(plan), planner.Copy(where));
  return plan;
}

void PlanSubqueries(const BoundExpr& expr, SubqueryPlans& subqueries) {
  QueryPlanner(subqueries).PlanSubqueriesOf(expr);
}

}  // namespace orv::engine
