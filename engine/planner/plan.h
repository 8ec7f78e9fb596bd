// The operator tree of a query, as the planner builds it and the executor runs
// it. Every node produces rows of `width` values; column positions in bound
// expressions refer to the rows of the node's input (or, for joins, to the
// joined row: left columns first).
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/binder/bound_query.h"
#include "engine/storage/table.h"

namespace orv::engine {

enum class PlanKind {
  Scan, Single, Filter, Project, Join, Aggregate, Sort, Distinct, Top, SetOperation,
  Values, WorkingTable, RecursiveCte, Apply, Window, Limit,
};

struct PlanNode {
  explicit PlanNode(PlanKind k) : kind(k) {}
  virtual ~PlanNode() = default;
  PlanKind kind;
  size_t width = 0;
};
using PlanPtr = std::unique_ptr<PlanNode>;

// A WHERE comparison of one column of a scan with a value fixed for the whole
// scan (a constant or a variable): `column` `op` `value`. The scan tests it a
// block of rows at a time on the stored numbers, before it builds any row;
// `conjunct` is the comparison itself, for the values that test cannot take.
struct ScanPredicate {
  size_t column = 0;
  CompareOp op = CompareOp::Equal;
  BoundExprPtr value;
  BoundExprPtr conjunct;
};

// Every row of a table that passes `predicates`; with `row_ids` one more
// column, the row's position, which UPDATE and DELETE use to find their
// target rows. Only the columns flagged in `read` are fetched; the others
// stay NULL.
struct ScanPlan : PlanNode {
  ScanPlan() : PlanNode(PlanKind::Scan) {}
  std::shared_ptr<Table> table;
  bool row_ids = false;
  std::vector<uint8_t> read;
  std::vector<ScanPredicate> predicates;
};

// One row without columns: a SELECT without FROM.
struct SinglePlan : PlanNode {
  SinglePlan() : PlanNode(PlanKind::Single) {}
};

struct FilterPlan : PlanNode {
  FilterPlan() : PlanNode(PlanKind::Filter) {}
  PlanPtr input;
  BoundExprPtr predicate;
};

struct ProjectPlan : PlanNode {
  ProjectPlan() : PlanNode(PlanKind::Project) {}
  PlanPtr input;
  std::vector<BoundExprPtr> exprs;
  std::vector<uint8_t> live;  // the exprs anything reads (empty: all); the others stay NULL
};

// Equi-join keys are evaluated on their own side's row (right keys on the
// right row alone); the residual on the joined row.
struct JoinPlan : PlanNode {
  JoinPlan() : PlanNode(PlanKind::Join) {}
  ast::JoinType type = ast::JoinType::Inner;
  PlanPtr left;
  PlanPtr right;
  std::vector<BoundExprPtr> left_keys;
  std::vector<BoundExprPtr> right_keys;
  BoundExprPtr residual;  // may be null
};

// Output: the group values, one GROUPING flag per group expression (tinyint),
// then the aggregates. Without group expressions it yields exactly one row;
// WITH ROLLUP adds the rows of every prefix of the group list.
struct AggregatePlan : PlanNode {
  AggregatePlan() : PlanNode(PlanKind::Aggregate) {}
  PlanPtr input;
  std::vector<BoundExprPtr> groups;
  std::vector<AggregateCall> aggregates;
  bool rollup = false;
  std::vector<std::vector<size_t>> sets;  // GROUPING SETS: positions in `groups` per set; empty otherwise
  // The output columns anything reads (empty: all): the others are never
  // computed, so a query that only counts and sums the groups builds no keys.
  std::vector<uint8_t> live;
};

struct SortPlan : PlanNode {
  SortPlan() : PlanNode(PlanKind::Sort) {}
  PlanPtr input;
  std::vector<SortKey> keys;
};

struct DistinctPlan : PlanNode {
  DistinctPlan() : PlanNode(PlanKind::Distinct) {}
  PlanPtr input;
};

struct TopPlan : PlanNode {
  TopPlan() : PlanNode(PlanKind::Top) {}
  PlanPtr input;
  BoundExprPtr count;
  bool percent = false;
};

struct SetOperationPlan : PlanNode {
  SetOperationPlan() : PlanNode(PlanKind::SetOperation) {}
  ast::SetOp op = ast::SetOp::Union;
  PlanPtr left;
  PlanPtr right;
};

// FROM (VALUES ...): each row's expressions, evaluated against the outer row only.
struct ValuesPlan : PlanNode {
  ValuesPlan() : PlanNode(PlanKind::Values) {}
  std::vector<std::vector<BoundExprPtr>> rows;
};

// The rows of the last level of the recursive CTE running around it.
struct WorkingTablePlan : PlanNode {
  WorkingTablePlan() : PlanNode(PlanKind::WorkingTable) {}
  std::shared_ptr<const WorkingTable> table;
};

// The anchor's rows, then the members' rows over each level's rows until a
// level is empty; more than `max_recursion` levels (0: no limit) raise 530.
struct RecursiveCtePlan : PlanNode {
  RecursiveCtePlan() : PlanNode(PlanKind::RecursiveCte) {}
  std::shared_ptr<const WorkingTable> table;
  PlanPtr anchor;
  std::vector<PlanPtr> members;
  long long max_recursion = 100;
};

// CROSS APPLY / OUTER APPLY: `right` runs for each left row, which it reads as
// its outer row; OUTER pads a left row without right rows with NULLs.
struct ApplyPlan : PlanNode {
  ApplyPlan() : PlanNode(PlanKind::Apply) {}
  PlanPtr left;
  PlanPtr right;
  bool outer = false;
};

// The input's rows, each followed by the value of every window function (bound::Window).
struct WindowPlan : PlanNode {
  WindowPlan() : PlanNode(PlanKind::Window) {}
  PlanPtr input;
  std::vector<BoundExprPtr> windows;
};

// OFFSET ... FETCH and TOP ... WITH TIES over sorted rows: skips `offset`
// rows, keeps `count` (null: all; a percentage with `percent`), and with
// ties the rows after that equal the last one on `keys`.
struct LimitPlan : PlanNode {
  LimitPlan() : PlanNode(PlanKind::Limit) {}
  PlanPtr input;
  BoundExprPtr offset;
  BoundExprPtr count;
  bool percent = false;
  bool with_ties = false;
  std::vector<SortKey> keys;
};

// The operator trees of the subqueries in a statement's expressions, by the
// bound query each was planned from (what a subquery expression names).
using SubqueryPlans = std::unordered_map<const BoundQuery*, PlanPtr>;

}  // namespace orv::engine
