// Bound expressions: names resolved to row positions, every node typed, every
// implicit conversion made an explicit Cast. Each kind of node is its own type
// holding only what that kind has; a BoundExpr is one of them with its type,
// nullability and line. The binder builds these trees, the planner places
// them in operator trees, the executor evaluates them.
#pragma once

#include <memory>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "engine/common/collation.h"
#include "engine/common/types.h"
#include "engine/common/value.h"
#include "engine/function/scalar.h"
#include "engine/storage/row_index.h"

namespace orv::engine {

struct BoundQuery;
struct BoundExpr;
using BoundExprPtr = std::unique_ptr<BoundExpr>;

enum class CompareOp { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

// Whether a comparison `op` holds for two values that compared as `c` (<0, 0, >0).
inline bool CompareResult(CompareOp op, int c) {
  switch (op) {
    case CompareOp::Equal: return c == 0;
    case CompareOp::NotEqual: return c != 0;
    case CompareOp::Less: return c < 0;
    case CompareOp::LessEqual: return c <= 0;
    case CompareOp::Greater: return c > 0;
    case CompareOp::GreaterEqual: return c >= 0;
  }
  return false;
}

namespace bound {

struct Constant {
  Value value;
};

// A value of the current row (depth 0) or of the row of the query `depth`
// levels out, for a correlated subquery.
struct Column {
  int position = 0;
  int depth = 0;
  std::string name;  // "alias.column", for messages
};

struct Cast {
  BoundExprPtr operand;
  int style = -1;  // CONVERT's style; -1 for none
  bool is_try = false;  // TRY_CAST / TRY_CONVERT: a failed conversion gives NULL
};

struct Prefix {  // - + ~
  PrefixOp op = PrefixOp::Negate;
  BoundExprPtr operand;
};

struct Arithmetic {  // + - * / % & | ^ and string concatenation
  ArithmeticOp op = ArithmeticOp::Add;
  BoundExprPtr left;
  BoundExprPtr right;
};

struct Compare {  // both sides already of one comparable type
  CompareOp op = CompareOp::Equal;
  BoundExprPtr left;
  BoundExprPtr right;
};

struct And {
  BoundExprPtr left;
  BoundExprPtr right;
};

struct Or {
  BoundExprPtr left;
  BoundExprPtr right;
};

struct Not {
  BoundExprPtr operand;
};

struct IsNull {
  BoundExprPtr operand;
  bool negated = false;  // IS NOT NULL
};

struct Like {
  BoundExprPtr value;
  BoundExprPtr pattern;
  BoundExprPtr escape;  // may be null
  bool negated = false;
  // The pattern compiled once, when pattern and escape are constants.
  std::shared_ptr<const collation::LikePattern> compiled;
};

// What the three kinds of subquery share. Copies of an expression share the
// query; the planner plans it once.
struct Subquery {
  std::shared_ptr<BoundQuery> query;
  bool correlated = false;  // reads an outer row: runs again for each
};

struct InSubquery : Subquery {
  BoundExprPtr value;
  DataType compare_type;  // the type both sides meet in
  bool negated = false;
};

struct Exists : Subquery {};

// x IN (c1, c2, ...) over constants of one type: hashed once when bound, so
// a long list costs one lookup per row instead of a comparison per item.
struct InList {
  BoundExprPtr value;  // already in the constants' type
  std::shared_ptr<const RowIndex> constants;  // the non-NULL ones
  bool has_null = false;
  bool negated = false;
};

struct ScalarSubquery : Subquery {};

struct When {
  BoundExprPtr condition;
  BoundExprPtr result;
};

struct Case {  // searched; a simple CASE is bound as one
  std::vector<When> whens;
  BoundExprPtr otherwise;  // the ELSE result; null for ELSE NULL
};

struct Function {  // a registered scalar built-in
  const ScalarFunction* function = nullptr;
  std::string datepart;
  std::vector<BoundExprPtr> arguments;
};

struct ObjectId {  // OBJECT_ID(name [, type]), looked up in the catalog when evaluated
  BoundExprPtr object_name;
  BoundExprPtr object_type;  // 'U', 'V', 'P' ...; may be null
};

struct ObjectName {  // OBJECT_NAME(id [, database id]), looked up in the catalog when evaluated
  BoundExprPtr object_id;
  BoundExprPtr database_id;  // may be null
};

// Aggregates and GROUPING live only until their grouped query is rewritten
// onto the aggregation's rows.
struct Aggregate {
  AggregateKind kind = AggregateKind::Count;
  bool distinct = false;
  BoundExprPtr argument;  // null for COUNT(*)
  // STRING_AGG: the separator (fixed for the statement) and the WITHIN GROUP order.
  std::string separator;
  std::vector<BoundExprPtr> order;
  std::vector<bool> descending;
};

struct Grouping {
  BoundExprPtr operand;
};

// A local variable of the batch or procedure, read when evaluated: the
// statement that assigns it row by row sees each new value.
struct Variable {
  const Value* value = nullptr;
  std::string name;
};

enum class WindowKind { RowNumber, Rank, DenseRank, Ntile, Lag, Lead, FirstValue, LastValue, Aggregate };

// A window function: ... OVER (PARTITION BY ... ORDER BY ... frame). Lives in
// a select list only until its SELECT moves it to its window list.
struct Window {
  WindowKind kind = WindowKind::RowNumber;
  AggregateKind aggregate = AggregateKind::Count;  // for Aggregate
  std::vector<BoundExprPtr> arguments;  // NTILE's count; LAG/LEAD's value, offset, default; the aggregate's
  std::vector<BoundExprPtr> partition;
  std::vector<BoundExprPtr> order;
  std::vector<bool> descending;  // per order expression
  // The frame: ROWS counts rows from the current one; RANGE (rows_frame
  // false) takes the current row's peers with it. Offsets are signed (-n
  // PRECEDING, +n FOLLOWING).
  bool rows_frame = false;
  bool start_unbounded = true;
  bool end_unbounded = false;
  long long start_offset = 0;
  long long end_offset = 0;
  DataType argument_type;
};

}  // namespace bound

// The kinds, in the order of BoundExpr::Node, for switching on kind().
enum class BoundKind {
  Constant, Column, Cast, Prefix, Arithmetic, Compare, And, Or, Not, IsNull, Like,
  InSubquery, Exists, ScalarSubquery, Case, Function, ObjectId, Aggregate, Grouping, Variable, Window, InList,
  ObjectName,
};

struct BoundExpr {
  using Node = std::variant<bound::Constant, bound::Column, bound::Cast, bound::Prefix, bound::Arithmetic,
                            bound::Compare, bound::And, bound::Or, bound::Not, bound::IsNull, bound::Like,
                            bound::InSubquery, bound::Exists, bound::ScalarSubquery, bound::Case, bound::Function,
                            bound::ObjectId, bound::Aggregate, bound::Grouping, bound::Variable,
                            bound::Window, bound::InList, bound::ObjectName>;

  BoundExpr(DataType t, bool n, int l, Node what) : type(t), nullable(n), line(l), node(std::move(what)) {}
  BoundExpr(const BoundExpr&) = delete;  // CloneExpr copies deliberately
  BoundExpr& operator=(const BoundExpr&) = delete;

  DataType type;
  bool nullable = true;
  int line = 0;
  Node node;

  BoundKind kind() const { return static_cast<BoundKind>(node.index()); }
  template <typename T>
  T* As() { return std::get_if<T>(&node); }
  template <typename T>
  const T* As() const { return std::get_if<T>(&node); }
};

// kind() names the alternative a node holds; this keeps the two lists in step.
template <BoundKind K, typename T>
constexpr bool kKindIs = std::is_same_v<std::variant_alternative_t<static_cast<size_t>(K), BoundExpr::Node>, T>;
static_assert(kKindIs<BoundKind::Constant, bound::Constant> && kKindIs<BoundKind::Column, bound::Column> &&
              kKindIs<BoundKind::Cast, bound::Cast> && kKindIs<BoundKind::Prefix, bound::Prefix> &&
              kKindIs<BoundKind::Arithmetic, bound::Arithmetic> && kKindIs<BoundKind::Compare, bound::Compare> &&
              kKindIs<BoundKind::And, bound::And> && kKindIs<BoundKind::Or, bound::Or> &&
              kKindIs<BoundKind::Not, bound::Not> && kKindIs<BoundKind::IsNull, bound::IsNull> &&
              kKindIs<BoundKind::Like, bound::Like> && kKindIs<BoundKind::InSubquery, bound::InSubquery> &&
              kKindIs<BoundKind::Exists, bound::Exists> && kKindIs<BoundKind::ScalarSubquery, bound::ScalarSubquery> &&
              kKindIs<BoundKind::Case, bound::Case> && kKindIs<BoundKind::Function, bound::Function> &&
              kKindIs<BoundKind::ObjectId, bound::ObjectId> && kKindIs<BoundKind::Aggregate, bound::Aggregate> &&
              kKindIs<BoundKind::Grouping, bound::Grouping> && kKindIs<BoundKind::Variable, bound::Variable> &&
              kKindIs<BoundKind::Window, bound::Window> && kKindIs<BoundKind::InList, bound::InList> &&
              kKindIs<BoundKind::ObjectName, bound::ObjectName> &&
              std::variant_size_v<BoundExpr::Node> == static_cast<size_t>(BoundKind::ObjectName) + 1);

template <typename T, typename... Args>
BoundExprPtr MakeExpr(const DataType& type, bool nullable, int line, Args&&... fields) {
  return std::make_unique<BoundExpr>(type, nullable, line, BoundExpr::Node(T{std::forward<Args>(fields)...}));
}

// The subquery of an IN, EXISTS or scalar subquery node; null for the others.
const bound::Subquery* SubqueryOf(const BoundExpr& expr);

// Calls `visit` on each sub-expression slot of `node` that holds one, in the
// order they are evaluated. For BoundExpr and const BoundExpr alike.
template <typename Expr, typename Visit>
void ForEachChild(Expr& expr, Visit&& visit) {
  std::visit(
      [&](auto& n) {
        using T = std::remove_const_t<std::remove_reference_t<decltype(n)>>;
        auto slot = [&](auto& child) {
          if (child) visit(child);
        };
        if constexpr (std::is_same_v<T, bound::Cast> || std::is_same_v<T, bound::Prefix> ||
                      std::is_same_v<T, bound::Not> || std::is_same_v<T, bound::IsNull> ||
                      std::is_same_v<T, bound::Grouping>) {
          slot(n.operand);
        } else if constexpr (std::is_same_v<T, bound::Arithmetic> || std::is_same_v<T, bound::Compare> ||
                             std::is_same_v<T, bound::And> || std::is_same_v<T, bound::Or>) {
          slot(n.left);
          slot(n.right);
        } else if constexpr (std::is_same_v<T, bound::Like>) {
          slot(n.value);
          slot(n.pattern);
          slot(n.escape);
        } else if constexpr (std::is_same_v<T, bound::InSubquery> || std::is_same_v<T, bound::InList>) {
          slot(n.value);
        } else if constexpr (std::is_same_v<T, bound::Case>) {
          for (auto& when : n.whens) {
            slot(when.condition);
            slot(when.result);
          }
          slot(n.otherwise);
        } else if constexpr (std::is_same_v<T, bound::Function>) {
          for (auto& argument : n.arguments) slot(argument);
        } else if constexpr (std::is_same_v<T, bound::ObjectId>) {
          slot(n.object_name);
          slot(n.object_type);
        } else if constexpr (std::is_same_v<T, bound::ObjectName>) {
          slot(n.object_id);
          slot(n.database_id);
        } else if constexpr (std::is_same_v<T, bound::Aggregate>) {
          slot(n.argument);
          for (auto& key : n.order) slot(key);
        } else if constexpr (std::is_same_v<T, bound::Window>) {
          for (auto& argument : n.arguments) slot(argument);
          for (auto& key : n.partition) slot(key);
          for (auto& key : n.order) slot(key);
        }
      },
      expr.node);
}

// Structural equality, used to match select-list expressions with GROUP BY ones.
bool SameExpr(const BoundExpr& a, const BoundExpr& b);
// A deep copy (subqueries are shared, not copied).
BoundExprPtr CloneExpr(const BoundExpr& e);

// ---------------------------------------------------------------- building

BoundExprPtr MakeColumn(int position, const DataType& type, bool nullable, std::string name = {});
BoundExprPtr MakeCompare(BoundExprPtr left, BoundExprPtr right, CompareOp op, int line);
BoundExprPtr MakeAnd(BoundExprPtr left, BoundExprPtr right);
BoundExprPtr MakeOr(BoundExprPtr left, BoundExprPtr right);
BoundExprPtr MakeNot(BoundExprPtr operand);
// `expr` converted to exactly `type` (a Cast node unless it already is).
BoundExprPtr Convert(BoundExprPtr expr, const DataType& type);
// Conversion for comparing: skipped where CompareValues copes with the pair.
BoundExprPtr ConvertForCompare(BoundExprPtr expr, const DataType& type);
bool ContainsAggregate(const BoundExpr& expr);

}  // namespace orv::engine
