// Binding of STRING_AGG(value, separator) [WITHIN GROUP (ORDER BY ...)]: the
// value converted to the result's string type, the separator fixed for the
// statement (a literal, a variable or a built-in over them), and the order
// the aggregation reads each group in.
#include "engine/binder/binder.h"
#include "engine/binder/statement_value.h"

namespace orv::engine {
namespace {

// nvarchar(max) and varchar(max) stay; other strings widen to nvarchar(4000)
// or varchar(8000); any other type is converted to nvarchar(4000).
DataType StringAggType(const DataType& argument) {
  const bool max = argument.length == DataType::kMaxLength;
  if (argument.id == TypeId::VarChar || argument.id == TypeId::Char) {
    return {TypeId::VarChar, 0, 0, max ? DataType::kMaxLength : 8000};
  }
  if ((argument.id == TypeId::NVarChar || argument.id == TypeId::NChar) && max) {
    return {TypeId::NVarChar, 0, 0, DataType::kMaxLength};
  }
  return {TypeId::NVarChar, 0, 0, 4000};
}

}  // namespace

BoundExprPtr Binder::BindStringAgg(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context) {
  CheckAggregatePlace(expr, context);
  if (expr.distinct) Throw(ErrorCode::kNotSupported, {"STRING_AGG with DISTINCT"}, expr.line);
  if (expr.star || expr.args.size() != 2) Throw(ErrorCode::kWrongArgumentCount, {"string_agg", "2"}, expr.line);
  ExprContext inner = context;
  inner.in_aggregate = true;
  BoundExprPtr value = BindExpr(*expr.args[0], scope, inner);
  if (SubqueryOf(*value)) Throw(ErrorCode::kAggregateOfAggregate, {}, expr.line);
  const DataType type = StringAggType(value->type);
  bound::Aggregate aggregate{AggregateKind::StringAgg, false, Convert(std::move(value), type), {}, {}, {}};

  BoundExprPtr separator = Convert(BindExpr(*expr.args[1], scope, inner), {type.id, 0, 0, DataType::kMaxLength});
  std::optional<Value> text = AtLine(expr.line, [&] { return StatementValue(*separator, context_.arena); });
  if (!text) Throw(ErrorCode::kNotSupported, {"A STRING_AGG separator that is not a literal or variable"}, expr.line);
  if (!text->is_null) aggregate.separator = std::string(text->s());

  if (expr.within_group) {
    for (const ast::OrderItem& item : expr.within_group->order_by) {
      BoundExprPtr key = BindExpr(*item.expr, scope, inner);
      if (SubqueryOf(*key)) Throw(ErrorCode::kAggregateOfAggregate, {}, expr.line);
      aggregate.order.push_back(std::move(key));
      aggregate.descending.push_back(item.descending);
    }
  }
  return std::make_unique<BoundExpr>(type, true, expr.line, BoundExpr::Node(std::move(aggregate)));
}

}  // namespace orv::engine
