// Binding of function calls: aggregates (checked against the clause they
// stand in), GROUPING, OBJECT_ID and the registered scalar built-ins, with the
// nullability SQL Server derives for SELECT INTO.
#include "engine/binder/bind_object_name.h"
#include "engine/binder/binder.h"
#include "engine/binder/session_values.h"
#include "engine/common/errors.h"

namespace orv::engine {
namespace {

// ISNULL is NULL only when both sides can be; COALESCE, being a CASE, when
// any argument can be; NULLIF always can be; GETDATE never is; the rest
// follow their arguments. CHOOSE, CHAR and STUFF give NULL for an index, code
// or position out of range, so they always can be.
bool FunctionNullable(std::string_view name, const std::vector<BoundExprPtr>& args) {
  if (name == "GETDATE" || name == "SYSDATETIME" || name == "GETUTCDATE" || name == "SYSUTCDATETIME") return false;
  if (name == "ISDATE") return false;  // NULL is no date: 0
  if (name == "NULLIF" || name == "CHOOSE" || name == "CHAR" || name == "NCHAR" || name == "STUFF" ||
      name == "QUOTENAME" || name == "PARSENAME" || name == "TYPE_ID" || name == "TYPE_NAME") {
    return true;
  }
  bool all = !args.empty();
  bool any = false;
  for (const auto& arg : args) {
    all = all && arg->nullable;
    any = any || arg->nullable;
  }
  if (name == "ISNULL") return all;
  return any;
}

}  // namespace

void CheckAggregatePlace(const ast::FunctionExpr& expr, const ExprContext& context) {
  if (context.in_aggregate) Throw(ErrorCode::kAggregateOfAggregate, {}, expr.line);
  if (context.clause == Clause::Where) Throw(ErrorCode::kAggregateInWhere, {}, expr.line);
  if (context.clause != Clause::Select && context.clause != Clause::Having && context.clause != Clause::OrderBy) {
    Throw(ErrorCode::kNotSupported, {"An aggregate in this clause"}, expr.line);
  }
}

BoundExprPtr Binder::BindFunction(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context) {
  if (expr.over || IsWindowOnlyFunction(expr.name)) return BindWindow(expr, scope, context);
  if (expr.name == "GROUPING_ID") return BindGroupingId(expr, scope, context);
  if (expr.name == "STRING_AGG") return BindStringAgg(expr, scope, context);
  if (expr.within_group) Throw(ErrorCode::kNotSupported, {"WITHIN GROUP with " + expr.name}, expr.line);
  AggregateKind aggregate;
  if (LookupAggregate(expr.name, aggregate)) {
    CheckAggregatePlace(expr, context);
    BoundExprPtr argument;
    DataType argument_type{TypeId::Int};
    if (expr.star) {
      aggregate = AggregateKind::CountStar;
    } else {
      if (expr.args.size() != 1) Throw(ErrorCode::kWrongArgumentCount, {expr.name, "1"}, expr.line);
      ExprContext inner = context;
      inner.in_aggregate = true;
      argument = BindExpr(*expr.args[0], scope, inner);
      if (SubqueryOf(*argument)) Throw(ErrorCode::kAggregateOfAggregate, {}, expr.line);
      argument_type = argument->type;
    }
    DataType type = AtLine(expr.line, [&] { return AggregateResultType(aggregate, argument_type); });
    if (expr.name == "COUNT_BIG") type = DataType{TypeId::BigInt};
    const bool nullable = aggregate != AggregateKind::Count && aggregate != AggregateKind::CountStar;
    return MakeExpr<bound::Aggregate>(type, nullable, expr.line, aggregate, expr.distinct, std::move(argument),
                                      std::string(), std::vector<BoundExprPtr>(), std::vector<bool>());
  }
  if (expr.name == "GROUPING") {
    if (!context.has_group_by) Throw(ErrorCode::kGroupingWithoutGroupBy, {}, expr.line);
    if (expr.args.size() != 1) Throw(ErrorCode::kWrongArgumentCount, {"GROUPING", "1"}, expr.line);
    return MakeExpr<bound::Grouping>(DataType{TypeId::TinyInt}, false, expr.line,
                                     BindExpr(*expr.args[0], scope, context));
  }
  if (BoundExprPtr session_value = BindSessionFunction(expr)) return session_value;
  if (BoundExprPtr system_value = BindSystemFunction(expr, scope, context)) return system_value;
  std::vector<BoundExprPtr> args;
  for (const auto& arg : expr.args) args.push_back(BindExpr(*arg, scope, context));
  if (expr.name == "OBJECT_ID") {
    if (args.empty() || args.size() > 2) Throw(ErrorCode::kFunctionArgumentRange, {"object_id", "1", "2"}, expr.line);
    const DataType text{TypeId::NVarChar, 0, 0, 4000};
    BoundExprPtr type = args.size() == 2 ? Convert(std::move(args[1]), text) : nullptr;
    return MakeExpr<bound::ObjectId>(DataType{TypeId::Int}, true, expr.line, Convert(std::move(args[0]), text),
                                     std::move(type));
  }
  if (expr.name == "OBJECT_NAME") return BindObjectName(std::move(args), expr.line);
  if (auto value = SessionFunction(expr.name, args.size(), context_.session, expr.line)) {
    return MakeExpr<bound::Constant>(DataType{value->type}, false, expr.line, *value);
  }
  const ScalarFunction* function = FindScalarFunction(expr.name);
  if (!function) Throw(ErrorCode::kNotRecognizedFunction, {expr.name}, expr.line);
  std::vector<DataType> types;
  for (const auto& arg : args) types.push_back(arg->type);
  const DataType type = AtLine(expr.line, [&] { return function->result_type(types, expr.datepart); });
  const bool nullable = FunctionNullable(expr.name, args);
  return MakeExpr<bound::Function>(type, nullable, expr.line, function, expr.datepart, std::move(args));
}

BoundExprPtr Binder::BindSubquery(const ast::QueryExpr& query, Scope& scope, BoundKind kind, int line) {
  auto bound = std::make_shared<BoundQuery>(BindQuery(query, &scope, &scope, true));
  if (kind != BoundKind::Exists && bound->columns.size() != 1) Throw(ErrorCode::kSubquerySelectListTooLong, {}, line);
  const bound::Subquery subquery{bound, bound->reads_outer};
  switch (kind) {
    case BoundKind::ScalarSubquery:
      return MakeExpr<bound::ScalarSubquery>(bound->columns[0].type, true, line, subquery);
    case BoundKind::Exists:
      return MakeExpr<bound::Exists>(DataType{TypeId::Bit}, false, line, subquery);
    case BoundKind::InSubquery: {
      bound::InSubquery in;  // its value and types are the caller's to set
      static_cast<bound::Subquery&>(in) = subquery;
      return MakeExpr<bound::InSubquery>(DataType{TypeId::Bit}, true, line, std::move(in));
    }
    default:
      Throw(ErrorCode::kInternal, {"a subquery of no subquery kind"}, line);
  }
}

}  // namespace orv::engine
