// Binding of function calls: aggregates (checked against the clause they
// stand in), GROUPING, OBJECT_ID and the registered scalar built-ins, with the
// nullability SQL Server derives for SELECT INTO.
#include "engine/binder/binder.h"
#include "engine/common/errors.h"

namespace orv::engine {
namespace {

// ISNULL is NULL only when both sides can be; COALESCE when every argument
// can be; NULLIF always can be; GETDATE never is; the rest follow their arguments.
bool FunctionNullable(std::string_view name, const std::vector<BoundExprPtr>& args) {
  if (name == "GETDATE") return false;
  if (name == "NULLIF") return true;
  bool all = !args.empty();
  bool any = false;
  for (const auto& arg : args) {
    all = all && arg->nullable;
    any = any || arg->nullable;
  }
  if (name == "ISNULL" || name == "COALESCE") return all;
  return any;
}

}  // namespace

BoundExprPtr Binder::BindFunction(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context) {
  AggregateKind aggregate;
  if (LookupAggregate(expr.name, aggregate)) {
    if (context.in_aggregate) Throw(ErrorCode::kAggregateOfAggregate, {}, expr.line);
    if (context.clause == Clause::Where) Throw(ErrorCode::kAggregateInWhere, {}, expr.line);
    if (context.clause != Clause::Select && context.clause != Clause::Having && context.clause != Clause::OrderBy) {
      Throw(ErrorCode::kNotSupported, {"An aggregate in this clause"}, expr.line);
    }
    auto node = std::make_unique<BoundExpr>(BoundKind::Aggregate);
    node->line = expr.line;
    node->distinct = expr.distinct;
    DataType argument_type{TypeId::Int};
    if (expr.star) {
      aggregate = AggregateKind::CountStar;
    } else {
      if (expr.args.size() != 1) Throw(ErrorCode::kWrongArgumentCount, {expr.name, "1"}, expr.line);
      ExprContext inner = context;
      inner.in_aggregate = true;
      BoundExprPtr argument = BindExpr(*expr.args[0], scope, inner);
      if (argument->kind == BoundKind::InSubquery || argument->kind == BoundKind::ScalarSubquery ||
          argument->kind == BoundKind::Exists) {
        Throw(ErrorCode::kAggregateOfAggregate, {}, expr.line);
      }
      argument_type = argument->type;
      node->children.push_back(std::move(argument));
    }
    node->aggregate = aggregate;
    node->type = AtLine(expr.line, [&] { return AggregateResultType(aggregate, argument_type); });
    node->nullable = aggregate != AggregateKind::Count && aggregate != AggregateKind::CountStar;
    return node;
  }
  if (expr.name == "GROUPING") {
    if (!context.has_group_by) Throw(ErrorCode::kGroupingWithoutGroupBy, {}, expr.line);
    if (expr.args.size() != 1) Throw(ErrorCode::kWrongArgumentCount, {"GROUPING", "1"}, expr.line);
    auto node = std::make_unique<BoundExpr>(BoundKind::Grouping);
    node->line = expr.line;
    node->type = DataType{TypeId::TinyInt};
    node->nullable = false;
    node->children.push_back(BindExpr(*expr.args[0], scope, context));
    return node;
  }
  std::vector<BoundExprPtr> args;
  for (const auto& arg : expr.args) args.push_back(BindExpr(*arg, scope, context));
  if (expr.name == "OBJECT_ID") {
    if (args.size() != 1) Throw(ErrorCode::kWrongArgumentCount, {"OBJECT_ID", "1"}, expr.line);
    auto node = std::make_unique<BoundExpr>(BoundKind::ObjectId);
    node->line = expr.line;
    node->type = DataType{TypeId::Int};
    node->children.push_back(Convert(std::move(args[0]), DataType{TypeId::NVarChar, 0, 0, 4000}));
    return node;
  }
  const ScalarFunction* function = FindScalarFunction(expr.name);
  if (!function) Throw(ErrorCode::kNotRecognizedFunction, {expr.name}, expr.line);
  std::vector<DataType> types;
  for (const auto& arg : args) types.push_back(arg->type);
  auto node = std::make_unique<BoundExpr>(BoundKind::Function);
  node->line = expr.line;
  node->type = AtLine(expr.line, [&] { return function->result_type(types, expr.datepart); });
  node->function = function;
  node->datepart = expr.datepart;
  node->nullable = FunctionNullable(expr.name, args);
  node->children = std::move(args);
  return node;
}

BoundExprPtr Binder::BindSubquery(const ast::QueryExpr& query, Scope& scope, BoundKind kind, int line) {
  auto bound = std::make_shared<BoundQuery>(BindQuery(query, &scope, &scope, true));
  if (kind != BoundKind::Exists && bound->columns.size() != 1) Throw(ErrorCode::kSubquerySelectListTooLong, {}, line);
  auto node = std::make_unique<BoundExpr>(kind);
  node->line = line;
  node->correlated = bound->reads_outer;
  if (kind == BoundKind::ScalarSubquery) {
    node->type = bound->columns[0].type;
    node->nullable = true;
  } else {
    node->type = DataType{TypeId::Bit};
    node->nullable = kind == BoundKind::InSubquery;
  }
  node->subquery = std::move(bound);
  return node;
}

}  // namespace orv::engine
