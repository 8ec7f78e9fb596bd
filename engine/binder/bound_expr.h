// Bound expressions: names resolved to row positions, every node typed, every
// implicit conversion made an explicit Cast node. The executor evaluates these
// trees; the binder builds them from the syntax tree.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/common/collation.h"
#include "engine/common/types.h"
#include "engine/common/value.h"
#include "engine/function/scalar.h"
#include "engine/parser/ast.h"

namespace orv::engine {

struct BoundQuery;

enum class BoundKind {
  Constant,
  Column,          // a value of the current row, or of an outer query's row (depth > 0)
  Cast,
  Unary,           // - + ~
  Arithmetic,      // + - * / % & | ^ and string concatenation
  Compare,         // children already converted to one type
  And,
  Or,
  Not,
  IsNull,
  Like,            // value, pattern [, escape]
  InSubquery,      // value IN (subquery); compare_type is the type both sides meet in
  Exists,
  ScalarSubquery,
  Case,            // searched: condition/result pairs, then the ELSE result when has_else
  Function,        // a registered scalar function
  ObjectId,        // OBJECT_ID(name): looked up in the catalog when evaluated
  Aggregate,       // only until the grouped query is rewritten
  Grouping,        // GROUPING(col); only until the grouped query is rewritten
};

enum class CompareOp { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

struct BoundExpr;
using BoundExprPtr = std::unique_ptr<BoundExpr>;

struct BoundExpr {
  explicit BoundExpr(BoundKind k) : kind(k) {}

  BoundKind kind;
  DataType type;
  bool nullable = true;
  int line = 0;
  std::vector<BoundExprPtr> children;

  Value constant;            // Constant
  int column = 0;            // Column: position in the row
  int depth = 0;             // Column: 0 the current query, 1 the enclosing one ...
  std::string name;          // Column: "alias.column" for messages
  ArithmeticOp binary_op = ArithmeticOp::Add;
  PrefixOp unary_op = PrefixOp::Negate;
  CompareOp compare_op = CompareOp::Equal;
  bool negated = false;      // IsNull (IS NOT NULL), Like, InSubquery
  bool has_else = false;     // Case
  int style = -1;            // Cast
  const ScalarFunction* function = nullptr;
  std::string datepart;      // Function
  AggregateKind aggregate = AggregateKind::Count;  // Aggregate
  bool distinct = false;                            // Aggregate
  DataType compare_type;                            // InSubquery
  std::shared_ptr<BoundQuery> subquery;             // InSubquery, Exists, ScalarSubquery
  bool correlated = false;                          // the subquery reads an outer row
  // Like: the pattern compiled once when pattern and escape are constants.
  std::shared_ptr<const collation::LikePattern> like_pattern;
};

// Structural equality, used to match select-list expressions with GROUP BY ones.
bool SameExpr(const BoundExpr& a, const BoundExpr& b);
// A deep copy (subqueries are shared, not copied).
BoundExprPtr CloneExpr(const BoundExpr& e);

}  // namespace orv::engine
