// A bound query: what the binder makes of a SELECT or a set operation, with
// every name resolved and every expression typed, but no decision yet on how
// it runs (the planner turns it into an operator tree). Rows are laid out as
// the query's clauses see them: a FROM clause's tables left to right, each
// table's columns in order; after grouping, the grouping's output columns.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/binder/bound_expr.h"
#include "engine/parser/ast.h"
#include "engine/storage/table.h"

namespace orv::engine {

struct OutputColumn {
  std::string name;  // empty for an unnamed expression
  DataType type;
  bool nullable = true;
  // Set when the column is a bare reference to an identity column, which
  // SELECT INTO carries over to the new table.
  std::optional<Identity> identity;
};

struct BoundTableRef;
using BoundTableRefPtr = std::unique_ptr<BoundTableRef>;

// A table of the database or the session. With `row_ids` its rows carry one
// more column, the row's position, which UPDATE and DELETE use to find their
// target rows.
struct BoundBaseTable {
  std::shared_ptr<Table> table;
  bool row_ids = false;
  std::vector<uint8_t> read;  // per column: named by some expression, so it must be fetched
};

// A derived table or a view.
struct BoundDerivedTable {
  std::unique_ptr<BoundQuery> query;
};

struct BoundJoin {
  ast::JoinType type = ast::JoinType::Inner;
  BoundTableRefPtr left;
  BoundTableRefPtr right;
  BoundExprPtr on;  // on the joined row, left columns first; null for a cross join
  // CROSS APPLY (Cross) / OUTER APPLY (Left): the right side runs once per
  // left row, which it reads as its outer row (depth 1).
  bool apply = false;
};

// FROM (VALUES ...): each row's expressions, converted to the column types.
struct BoundValues {
  std::vector<std::vector<BoundExprPtr>> rows;
};

// The rows a recursive common table expression produced at its last level,
// which its recursive members read. Its address names it to the executor.
struct WorkingTable {
  size_t width = 0;
};

struct BoundWorkingTable {
  std::shared_ptr<const WorkingTable> table;
};

// A recursive common table expression: the anchor's rows, then the recursive
// members run again over the rows of the level before until a level is empty.
struct BoundRecursiveCte {
  std::string name;
  std::shared_ptr<const WorkingTable> table;
  std::unique_ptr<BoundQuery> anchor;
  std::vector<std::unique_ptr<BoundQuery>> members;
  long long max_recursion = 100;  // 0: no limit
};

struct BoundTableRef {
  size_t width = 0;  // values in each of its rows
  std::variant<BoundBaseTable, BoundDerivedTable, BoundJoin, BoundValues, BoundWorkingTable, BoundRecursiveCte>
      source;
};

struct AggregateCall {
  AggregateKind kind = AggregateKind::Count;
  bool distinct = false;
  BoundExprPtr argument;  // null for COUNT(*)
  DataType argument_type;
  DataType result_type;
  std::string separator;  // STRING_AGG's
};

// The aggregation of a grouped query. Its rows hold the group values, one
// GROUPING flag (tinyint) per group expression, then the aggregates. Without
// group expressions it yields exactly one row; WITH ROLLUP adds the rows of
// every prefix of the group list.
struct BoundGrouping {
  std::vector<BoundExprPtr> groups;  // on the FROM ... WHERE rows
  std::vector<AggregateCall> aggregates;
  bool rollup = false;
  // GROUPING SETS / CUBE / ROLLUP(...): positions in `groups` per set; empty
  // for a plain GROUP BY or WITH ROLLUP.
  std::vector<std::vector<size_t>> sets;
  // The WITHIN GROUP order of its ordered aggregates (STRING_AGG), on the
  // FROM ... WHERE rows: they read each group in that order.
  std::vector<BoundExprPtr> within_order;
  std::vector<bool> within_descending;

  size_t width() const { return 2 * groups.size() + aggregates.size(); }
};

struct SortKey {
  size_t column = 0;
  bool descending = false;
};


// One SELECT, in the order SQL Server evaluates its clauses.
struct BoundSelect {
  BoundTableRefPtr from;  // null: one row without columns
  BoundExprPtr where;     // may be null
  std::optional<BoundGrouping> grouping;
  BoundExprPtr having;  // on the grouping's rows; may be null
  // The select list, then the ORDER BY expressions that are not in it. They
  // read the grouping's rows when there is a grouping, else the FROM rows.
  std::vector<BoundExprPtr> items;
  bool distinct = false;
  std::vector<SortKey> order;  // positions in `items`
  BoundExprPtr top;            // may be null
  bool top_percent = false;
  bool top_with_ties = false;
  BoundExprPtr offset;  // OFFSET ... FETCH; null when absent
  BoundExprPtr fetch;
  // Window functions (bound::Window), computed after grouping and HAVING
  // over the rows the items would read; the items read their values after
  // those rows' columns.
  std::vector<BoundExprPtr> windows;
};

// UNION [ALL], EXCEPT, INTERSECT. A side whose column types differ from the
// result's is converted by its `*_columns` expressions (over that side's
// rows); where those are empty it is taken as it is.
struct BoundSetOperation {
  ast::SetOp op = ast::SetOp::Union;
  std::unique_ptr<BoundQuery> left;
  std::unique_ptr<BoundQuery> right;
  std::vector<BoundExprPtr> left_columns;
  std::vector<BoundExprPtr> right_columns;
  std::vector<SortKey> order;  // positions in the result
  BoundExprPtr offset;         // OFFSET ... FETCH; null when absent
  BoundExprPtr fetch;
};

struct BoundQuery {
  std::variant<BoundSelect, BoundSetOperation> body;
  std::vector<OutputColumn> columns;
  bool reads_outer = false;  // correlated: must run again for every outer row
};

// Visits every expression slot of `query` (a slot may hold null): its FROM
// clause's ON conditions and derived tables, WHERE, grouping, HAVING, select
// list, TOP, and both sides of a set operation. Subqueries inside the
// expressions are the visitor's to follow.
void ForEachQueryExpression(BoundQuery& query, const std::function<void(BoundExprPtr&)>& visit);

}  // namespace orv::engine
