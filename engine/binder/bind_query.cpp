// Binding of query expressions: a SELECT, or two queries combined by UNION
// [ALL], EXCEPT or INTERSECT, whose columns take the common type of both sides
// and whose ORDER BY may name only result columns.
#include <charconv>

#include "engine/binder/binder.h"
#include "engine/catalog/names.h"
#include "engine/common/errors.h"

namespace orv::engine {
namespace {

// The columns of one side converted to the result's types; none when they
// already have them.
std::vector<BoundExprPtr> ConvertColumns(const std::vector<OutputColumn>& from, const std::vector<OutputColumn>& to) {
  std::vector<BoundExprPtr> converted;
  bool same = true;
  for (size_t i = 0; i < from.size(); ++i) same = same && from[i].type == to[i].type;
  if (same) return converted;
  for (size_t i = 0; i < from.size(); ++i) {
    converted.push_back(Convert(MakeColumn(static_cast<int>(i), from[i].type, from[i].nullable), to[i].type));
  }
  return converted;
}

// An ORDER BY item of a set operation: a position or the name of a result column.
size_t ResultColumnOf(const ast::OrderItem& item, const std::vector<OutputColumn>& columns) {
  const ast::Expr& expr = *item.expr;
  if (expr.kind == ast::ExprKind::Literal &&
      static_cast<const ast::LiteralExpr&>(expr).literal_type == ast::LiteralExpr::Type::Integer) {
    const std::string& text = static_cast<const ast::LiteralExpr&>(expr).text;
    long long position = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), position);
    if (error != std::errc() || position < 1 || static_cast<size_t>(position) > columns.size()) {
      Throw(ErrorCode::kOrderByPositionOutOfRange, {text}, expr.line);
    }
    return static_cast<size_t>(position - 1);
  }
  if (expr.kind == ast::ExprKind::ColumnRef) {
    const std::string& name = static_cast<const ast::ColumnRefExpr&>(expr).name.back();
    for (size_t i = 0; i < columns.size(); ++i) {
      if (NamesEqual(columns[i].name, name)) return i;
    }
  }
  Throw(ErrorCode::kOrderByNotInUnionSelect, {}, expr.line);
}

}  // namespace

BoundQuery Binder::BindQuery(const ast::QueryExpr& query, Scope* parent, Scope* enclosing, bool nested) {
  if (query.select) return BindSelect(*query.select, query.order_by, parent, enclosing, nested);
  return BindSetOperation(query, parent, enclosing, nested);
}

BoundQuery Binder::BindSetOperation(const ast::QueryExpr& query, Scope* parent, Scope* enclosing, bool nested) {
  if (nested && !query.order_by.empty()) Throw(ErrorCode::kOrderByInDerivedTable, {}, query.line);
  BoundQuery left = BindQuery(*query.left, parent, enclosing, nested);
  BoundQuery right = BindQuery(*query.right, parent, enclosing, nested);
  if (left.columns.size() != right.columns.size()) Throw(ErrorCode::kUnionColumnCount, {}, query.line);
  BoundQuery result;
  for (size_t i = 0; i < left.columns.size(); ++i) {
    OutputColumn column;
    column.name = left.columns[i].name;
    column.type = CommonType(left.columns[i].type, right.columns[i].type);
    column.nullable = left.columns[i].nullable || right.columns[i].nullable;
    result.columns.push_back(std::move(column));
  }
  BoundSetOperation set;
  set.op = query.op;
  set.left_columns = ConvertColumns(left.columns, result.columns);
  set.right_columns = ConvertColumns(right.columns, result.columns);
  result.reads_outer = left.reads_outer || right.reads_outer;
  set.left = std::make_unique<BoundQuery>(std::move(left));
  set.right = std::make_unique<BoundQuery>(std::move(right));
  for (const ast::OrderItem& item : query.order_by) {
    set.order.push_back(SortKey{ResultColumnOf(item, result.columns), item.descending});
  }
  result.body = std::move(set);
  return result;
}

}  // namespace orv::engine
