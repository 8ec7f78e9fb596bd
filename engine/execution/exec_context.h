// What the operators of one statement share: the catalog and session (for
// OBJECT_ID), the statement's string arena, the plans of its subqueries and
// the results of uncorrelated ones, which run once per statement (IN
// subqueries as hashed sets).
#pragma once

#include <unordered_map>

#include "engine/catalog/catalog.h"
#include "engine/catalog/session_state.h"
#include "engine/common/string_arena.h"
#include "engine/execution/relation.h"
#include "engine/planner/plan.h"
#include "engine/storage/row_index.h"

namespace orv::engine {

// The values of an uncorrelated IN subquery, hashed once per statement.
struct InSet {
  RowIndex values{1};
  bool has_null = false;
};

struct ExecContext {
  Catalog& catalog;
  SessionState& session;
  StringArena& arena;
  SubqueryPlans subquery_plans;  // the planner fills it as it plans the statement
  std::unordered_map<const BoundQuery*, Relation> subquery_results;
  std::unordered_map<const BoundExpr*, InSet> in_sets;
  // The rows of the last level of each recursive CTE being run.
  std::unordered_map<const WorkingTable*, const Relation*> working_tables = {};

  // How many threads a query may split its scan over (OPTION (MAXDOP n));
  // 0 for as many as the machine has cores.
  int max_dop = 0;

  // The plan of a subquery of the statement.
  const PlanNode& SubqueryPlan(const BoundQuery& query) const;
};

// A row being evaluated and the rows of the queries around it, innermost first.
struct EvalRow {
  const Value* values = nullptr;
  const EvalRow* outer = nullptr;
};

}  // namespace orv::engine
