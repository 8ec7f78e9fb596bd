// Binds the syntax tree of one statement against the catalog and the
// session: resolves names without regard to case, types every expression
// through function/scalar.h and checks each query's clauses, giving bound
// queries (bound_query.h) for the planner. Every error is a SqlError with SQL
// Server's number and the line of the construct.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/binder/bound_query.h"
#include "engine/binder/scope.h"
#include "engine/binder/variables.h"
#include "engine/catalog/catalog.h"
#include "engine/catalog/session_state.h"
#include "engine/common/errors.h"
#include "engine/common/string_arena.h"
#include "engine/parser/ast.h"

namespace orv::engine {

struct BindContext {
  Catalog& catalog;
  SessionState& session;
  StringArena& arena;  // the statement's: text of literals
  bool view_definition = false;  // binding CREATE VIEW: temporary tables are refused (4508)
  Variables* variables = nullptr;  // the batch's or procedure's local variables
  int deepest_view = 0;  // CREATE VIEW: the deepest nesting of the views it reads
};

// Where an expression stands decides whether aggregates may appear in it.
enum class Clause { Select, Where, GroupBy, Having, OrderBy, On, Other };

struct ExprContext {
  Clause clause = Clause::Other;
  bool has_group_by = false;
  bool in_aggregate = false;
};

// 130 inside another aggregate, 147 in WHERE; an aggregate stands only in a
// select list, HAVING or ORDER BY.
void CheckAggregatePlace(const ast::FunctionExpr& expr, const ExprContext& context);

// The rows UPDATE and DELETE act on, bound: the FROM clause (or the target
// alone) with the target's row positions, and WHERE. The target is named
// directly or through an alias of the FROM clause; a target the FROM clause
// does not name joins it as one more table, as in SQL Server.
struct BoundDmlTarget {
  Scope scope;  // the FROM clause's names, for SET expressions
  BoundTableRefPtr from;
  BoundExprPtr where;  // may be null
  std::shared_ptr<Table> table;
  std::string exposed;       // the target's name in the FROM clause
  size_t offset = 0;         // first column of the target in the rows
  size_t row_id_column = 0;  // where the rows carry the target row's position
};

class Binder {
 public:
  explicit Binder(BindContext& context) : context_(context) {}
  const BindContext& context() const { return context_; }

  // A query with its set operators, ORDER BY and TOP. `nested` for derived
  // tables and subqueries, where ORDER BY needs TOP (1033).
  BoundQuery BindQuery(const ast::QueryExpr& query, Scope* parent, Scope* enclosing, bool nested);

  // The target rows of UPDATE or DELETE, with `where` bound on them.
  BoundDmlTarget BindDmlTarget(const ast::Name& target, const ast::TableRef* from, const ast::Expr* where, int line);

  BoundExprPtr BindExpr(const ast::Expr& expr, Scope& scope, const ExprContext& context);
  // An expression outside any query (VALUES, IF, TOP, DEFAULT).
  BoundExprPtr BindScalar(const ast::Expr& expr);

  // A table variable (@name; 1087), a table of the session (#name) or of the
  // database; raises 208.
  std::shared_ptr<Table> LookupTable(const ast::Name& name, int line) const;
  std::shared_ptr<Table> LookupTableVariable(const std::string& name, int line) const;

 private:
  BoundQuery BindSelect(const ast::SelectCore& core, const std::vector<ast::OrderItem>& order_by, Scope* parent,
                        Scope* enclosing, bool nested);
  BoundQuery BindSetOperation(const ast::QueryExpr& query, Scope* parent, Scope* enclosing, bool nested);
  // FROM: the joined rows; the tables land in `scope`. With `row_ids` every
  // base table's rows also carry their positions.
  BoundTableRefPtr BindTableRef(const ast::TableRef& ref, Scope& scope, size_t offset, bool row_ids);
  BoundTableRefPtr BindNamedTable(const ast::NamedTableRef& ref, Scope& scope, size_t offset, bool row_ids);
  BoundTableRefPtr BindView(const ViewDefinition& view, const ast::NamedTableRef& ref, Scope& scope, size_t offset);
  // CREATE VIEW over a view: its columns as recorded, without expanding it.
  BoundTableRefPtr BindViewShape(const ViewDefinition& view, const std::string& alias, Scope& scope, size_t offset,
                                 int line);
  BoundTableRefPtr BindDerived(const ast::QueryExpr& query, const std::string& alias,
                               const std::vector<std::string>& column_aliases, Scope& scope, size_t offset, int line);
  // A bound query as a table of the FROM clause named `alias`.
  BoundTableRefPtr ExposeDerived(BoundQuery bound, const std::string& alias,
                                 const std::vector<std::string>& column_aliases, Scope& scope, size_t offset, int line);
  BoundQuery BindQueryBody(const ast::QueryExpr& query, Scope* parent, Scope* enclosing, bool nested);

  // ------------------------------------------------------------ common table expressions (bind_cte.cpp)
  struct CteEntry {
    const ast::CommonTableExpr* definition = nullptr;
    bool defining = false;  // its own query is being bound
    // While its recursive members are bound: the rows of the last level they read.
    std::shared_ptr<WorkingTable> working;
    std::vector<OutputColumn> working_columns;
    int references = 0;
  };
  BoundQuery BindWithCtes(const ast::QueryExpr& query, Scope* parent, Scope* enclosing, bool nested);
  const CteEntry* FindCte(const ast::Name& name) const;
  BoundTableRefPtr BindCteReference(const ast::NamedTableRef& ref, Scope& scope, size_t offset);
  BoundQuery BindCteQuery(CteEntry& entry);
  BoundQuery BindRecursiveCte(CteEntry& entry, const ast::QueryExpr& anchor,
                              const std::vector<const ast::QueryExpr*>& members);

  // ------------------------------------------------------------ VALUES and APPLY (bind_table_sources.cpp)
  BoundTableRefPtr BindValuesTable(const ast::ValuesTableRef& ref, Scope& scope, size_t offset);
  BoundTableRefPtr BindApply(const ast::JoinTableRef& ref, Scope& scope, size_t offset, bool row_ids);

  // ------------------------------------------------------------ TOP, OFFSET, FETCH (bind_row_limits.cpp)
  void BindRowLimits(const ast::QueryExpr& query, BoundQuery& bound);

  // ------------------------------------------------------------ windows and grouping sets
  BoundExprPtr BindWindow(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context);
  BoundExprPtr BindGroupingId(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context);
  BoundExprPtr BindStringAgg(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context);
  // DB_NAME(), USER_NAME(), HOST_NAME() ...: null when `expr` is none of them.
  BoundExprPtr BindSystemFunction(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context);
  // @@SERVERNAME, @@LANGUAGE ...: null when `upper_name` is none of them.
  BoundExprPtr BindSystemVariable(std::string_view upper_name, int line);

  BoundExprPtr BindExprNode(const ast::Expr& expr, Scope& scope, const ExprContext& context);
  void FoldConstantCasts(BoundExpr& node);
  BoundExprPtr BindColumn(const ast::Name& name, Scope& scope, int line);
  BoundExprPtr BindBinary(const ast::BinaryExpr& expr, Scope& scope, const ExprContext& context);
  BoundExprPtr BindFunction(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context);
  BoundExprPtr BindCase(const ast::CaseExpr& expr, Scope& scope, const ExprContext& context);
  BoundExprPtr BindSubquery(const ast::QueryExpr& query, Scope& scope, BoundKind kind, int line);
  BoundExprPtr BindLike(const ast::LikeExpr& expr, Scope& scope, const ExprContext& context);
  // @name and @@name (bind_procedural.cpp).
  BoundExprPtr BindVariable(const ast::VariableExpr& expr);
  // ERROR_NUMBER() and its kin, SCOPE_IDENTITY(); null for other functions.
  BoundExprPtr BindSessionFunction(const ast::FunctionExpr& expr);
  BoundExprPtr BindInList(const ast::InListExpr& in, Scope& scope, const ExprContext& context);

  BindContext& context_;
  std::vector<CteEntry> ctes_;  // the WITH lists of the queries being bound, outermost first
  size_t cte_limit_ = 0;        // how many of them the query being bound may name
  size_t cte_expansions_ = 0;   // CTE references bound in this statement, each a copy of its query
  long long max_recursion_ = 100;
  bool in_window_ = false;  // binding a window function's arguments
};

// ROW_NUMBER, RANK ... LAST_VALUE: functions that exist only with OVER.
bool IsWindowOnlyFunction(std::string_view upper_name);
// Moves the window functions of a bound SELECT's items to its window list.
void ExtractWindows(BoundSelect& select);
// The grouping sets of a GROUP BY as positions in its bound group list (equal
// expressions share one position); a plain ROLLUP(...) becomes WITH ROLLUP.
void BindGroupingSets(const std::vector<std::vector<size_t>>& sets, BoundGrouping& grouping);

// Runs `f`; a SqlError it raises without a line gets `line`.
template <typename F>
auto AtLine(int line, F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (SqlError& error) {
    if (error.line() == 0) error.set_line(line);
    throw;
  }
}

}  // namespace orv::engine
