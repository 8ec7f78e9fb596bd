// Binding of expressions: literals, names, operators, predicates, CASE and
// CAST. Implicit conversions become Cast nodes here so that the executor
// never has to decide a type. Functions and subqueries are in their own files.
#include <charconv>

#include "engine/binder/binder.h"
#include "engine/catalog/names.h"
#include "engine/common/decimal.h"
#include "engine/common/errors.h"
#include "engine/common/stack_depth.h"

namespace orv::engine {
namespace {

const DataType kBit{TypeId::Bit};

CompareOp ToCompareOp(ast::BinaryOp op) {
  switch (op) {
    case ast::BinaryOp::Equal: return CompareOp::Equal;
    case ast::BinaryOp::NotEqual: return CompareOp::NotEqual;
    case ast::BinaryOp::Less: return CompareOp::Less;
    case ast::BinaryOp::LessEqual: return CompareOp::LessEqual;
    case ast::BinaryOp::Greater: return CompareOp::Greater;
    default: return CompareOp::GreaterEqual;
  }
}

// SQL Server gives an integer constant the precision of its own digits when it
// meets a decimal in arithmetic, so 1.0/3 is decimal(2,1)/decimal(1,0) and
// gives 0.333333, not the twelve decimals a decimal(10,0) divisor would.
void TypeIntegerConstantByDigits(BoundExpr& operand, const DataType& other) {
  auto* constant = operand.As<bound::Constant>();
  if (!constant || constant->value.is_null || other.id != TypeId::Decimal) return;
  if (operand.type.id != TypeId::Int) return;  // larger integer literals are already numeric(p,0)
  const int64_t value = constant->value.i;
  const auto digits = static_cast<uint8_t>(decimal::DigitCount(value));
  operand.type = DataType{TypeId::Decimal, digits, 0, 0};
  constant->value = Value::Decimal(value, digits, 0);
}

ArithmeticOp ToArithmeticOp(ast::BinaryOp op, int line) {
  switch (op) {
    case ast::BinaryOp::Add: return ArithmeticOp::Add;
    case ast::BinaryOp::Subtract: return ArithmeticOp::Subtract;
    case ast::BinaryOp::Multiply: return ArithmeticOp::Multiply;
    case ast::BinaryOp::Divide: return ArithmeticOp::Divide;
    case ast::BinaryOp::Modulo: return ArithmeticOp::Modulo;
    case ast::BinaryOp::BitAnd: return ArithmeticOp::BitAnd;
    case ast::BinaryOp::BitOr: return ArithmeticOp::BitOr;
    case ast::BinaryOp::BitXor: return ArithmeticOp::BitXor;
    default: Throw(ErrorCode::kInternal, {"a comparison or logical operator taken for arithmetic"}, line);
  }
}

PrefixOp ToPrefixOp(ast::UnaryOp op, int line) {
  switch (op) {
    case ast::UnaryOp::Negate: return PrefixOp::Negate;
    case ast::UnaryOp::Plus: return PrefixOp::Plus;
    case ast::UnaryOp::BitNot: return PrefixOp::BitNot;
    case ast::UnaryOp::Not: break;
  }
  Throw(ErrorCode::kInternal, {"NOT taken for an arithmetic operator"}, line);
}

bool IsComparison(ast::BinaryOp op) {
  return op == ast::BinaryOp::Equal || op == ast::BinaryOp::NotEqual || op == ast::BinaryOp::Less ||
         op == ast::BinaryOp::LessEqual || op == ast::BinaryOp::Greater || op == ast::BinaryOp::GreaterEqual;
}

// The collations the engine can honour: the database's own.
bool IsSupportedCollation(std::string_view name) {
  return NamesEqual(name, "Chinese_PRC_CI_AS") || NamesEqual(name, "DATABASE_DEFAULT");
}

}  // namespace

BoundExprPtr Binder::BindScalar(const ast::Expr& expr) {
  Scope scope;
  return BindExpr(expr, scope, ExprContext{});
}

BoundExprPtr Binder::BindColumn(const ast::Name& name, Scope& scope, int line) {
  const std::string& column = name.back();
  std::string qualifier = name.size() > 1 ? name[name.size() - 2] : std::string();
  int depth = 0;
  for (Scope* level = &scope; level; level = level->parent, ++depth) {
    const ScopeTable* found_table = nullptr;
    size_t found_index = 0;
    int found = 0;
    bool qualifier_found = false;
    for (const ScopeTable& table : level->tables) {
      if (!qualifier.empty() && !NamesEqual(table.exposed, qualifier)) continue;
      qualifier_found = true;
      for (size_t i = 0; i < table.columns.size(); ++i) {
        if (NamesEqual(table.columns[i].name, column)) {
          ++found;
          found_table = &table;
          found_index = i;
        }
      }
    }
    if (found > 1) Throw(ErrorCode::kAmbiguousColumnName, {column}, line);
    if (found == 1) {
      for (Scope* mark = &scope; mark && mark != level; mark = mark->enclosing) mark->reads_outer = true;
      found_table->MarkRead(found_index);
      const ScopeColumn& info = found_table->columns[found_index];
      const auto position = static_cast<int>(found_table->offset + found_index);
      return MakeExpr<bound::Column>(info.type, info.nullable, line, position, depth,
                                     found_table->exposed + "." + info.name);
    }
    if (qualifier_found) Throw(ErrorCode::kInvalidColumnName, {column}, line);
  }
  if (!qualifier.empty()) Throw(ErrorCode::kMultiPartIdentifierNotBound, {JoinName(name)}, line);
  Throw(ErrorCode::kInvalidColumnName, {column}, line);
}

BoundExprPtr Binder::BindBinary(const ast::BinaryExpr& expr, Scope& scope, const ExprContext& context) {
  BoundExprPtr left = BindExpr(*expr.left, scope, context);
  BoundExprPtr right = BindExpr(*expr.right, scope, context);
  if (IsComparison(expr.op)) return MakeCompare(std::move(left), std::move(right), ToCompareOp(expr.op), expr.line);
  if (expr.op == ast::BinaryOp::And) return MakeAnd(std::move(left), std::move(right));
  if (expr.op == ast::BinaryOp::Or) return MakeOr(std::move(left), std::move(right));
  TypeIntegerConstantByDigits(*left, right->type);
  TypeIntegerConstantByDigits(*right, left->type);
  const ArithmeticOp op = ToArithmeticOp(expr.op, expr.line);
  DataType type = AtLine(expr.line, [&] { return BinaryResultType(op, left->type, right->type); });
  const bool nullable = left->nullable || right->nullable;
  return MakeExpr<bound::Arithmetic>(type, nullable, expr.line, op, std::move(left), std::move(right));
}

BoundExprPtr Binder::BindCase(const ast::CaseExpr& expr, Scope& scope, const ExprContext& context) {
  std::vector<BoundExprPtr> conditions;
  std::vector<BoundExprPtr> results;
  BoundExprPtr operand = expr.operand ? BindExpr(*expr.operand, scope, context) : nullptr;
  for (const auto& when : expr.whens) {
    BoundExprPtr condition = BindExpr(*when.condition, scope, context);
    if (operand) condition = MakeCompare(CloneExpr(*operand), std::move(condition), CompareOp::Equal, when.condition->line);
    conditions.push_back(std::move(condition));
    results.push_back(BindExpr(*when.result, scope, context));
  }
  if (expr.else_result) results.push_back(BindExpr(*expr.else_result, scope, context));
  // The result takes the type of highest precedence among the branches.
  DataType type = results.front()->type;
  bool nullable = !expr.else_result;
  for (const auto& result : results) {
    type = CommonType(type, result->type);
    nullable = nullable || result->nullable;
  }
  bound::Case node;
  for (size_t i = 0; i < conditions.size(); ++i) {
    node.whens.push_back(bound::When{std::move(conditions[i]), Convert(std::move(results[i]), type)});
  }
  if (expr.else_result) node.otherwise = Convert(std::move(results.back()), type);
  return MakeExpr<bound::Case>(type, nullable, expr.line, std::move(node));
}

BoundExprPtr Binder::BindLike(const ast::LikeExpr& expr, Scope& scope, const ExprContext& context) {
  auto as_text = [](BoundExprPtr e) {
    if (IsString(e->type.id)) return e;
    return Convert(std::move(e), DataType{TypeId::VarChar, 0, 0, 8000});
  };
  bound::Like node;
  node.negated = expr.negated;
  node.value = as_text(BindExpr(*expr.value, scope, context));
  node.pattern = as_text(BindExpr(*expr.pattern, scope, context));
  if (expr.escape) node.escape = as_text(BindExpr(*expr.escape, scope, context));
  const bool nullable = node.value->nullable || node.pattern->nullable;
  // The text of a constant that is not NULL, else null.
  auto constant_text = [](const BoundExprPtr& e) {
    const auto* constant = e ? e->As<bound::Constant>() : nullptr;
    return constant && !constant->value.is_null ? &constant->value : nullptr;
  };
  const Value* pattern = constant_text(node.pattern);
  const Value* escape = constant_text(node.escape);
  if (pattern && (!node.escape || escape)) {
    const char32_t escape_code = escape ? collation::FirstCodePoint(escape->s()) : 0;
    node.compiled = std::make_shared<collation::LikePattern>(pattern->s(), escape_code);
  }
  return MakeExpr<bound::Like>(kBit, nullable, expr.line, std::move(node));
}

BoundExprPtr Binder::BindExprNode(const ast::Expr& expr, Scope& scope, const ExprContext& context) {
  CheckStackDepth();
  switch (expr.kind) {
    case ast::ExprKind::Literal: {
      const auto& literal = static_cast<const ast::LiteralExpr&>(expr);
      DataType type = LiteralType(literal.literal_type, literal.text);
      return MakeExpr<bound::Constant>(type, literal.literal_type == ast::LiteralExpr::Type::Null, expr.line,
                                       LiteralValue(literal.literal_type, literal.text, type, context_.arena));
    }
    case ast::ExprKind::ColumnRef:
      return BindColumn(static_cast<const ast::ColumnRefExpr&>(expr).name, scope, expr.line);
    case ast::ExprKind::Star:
      Throw(ErrorCode::kIncorrectSyntax, {"*"}, expr.line);
    case ast::ExprKind::Variable:
      return BindVariable(static_cast<const ast::VariableExpr&>(expr));
    case ast::ExprKind::Unary: {
      const auto& unary = static_cast<const ast::UnaryExpr&>(expr);
      BoundExprPtr operand = BindExpr(*unary.operand, scope, context);
      if (unary.op == ast::UnaryOp::Not) return MakeNot(std::move(operand));
      const PrefixOp op = ToPrefixOp(unary.op, expr.line);
      const DataType type = UnaryResultType(op, operand->type);
      if (const auto* constant = operand->As<bound::Constant>()) {
        // A negative literal is a constant, as SQL Server reads it; one whose
        // negation overflows keeps its operator, to fail only where a row needs it.
        try {
          const Value folded = EvalUnary(op, constant->value, type);
          return MakeExpr<bound::Constant>(type, folded.is_null, expr.line, folded);
        } catch (const SqlError&) {
        }
      }
      const bool nullable = operand->nullable;
      return MakeExpr<bound::Prefix>(type, nullable, expr.line, op, std::move(operand));
    }
    case ast::ExprKind::Binary:
      return BindBinary(static_cast<const ast::BinaryExpr&>(expr), scope, context);
    case ast::ExprKind::Between: {
      // x BETWEEN a AND b is x >= a AND x <= b, with the same three-valued result.
      const auto& between = static_cast<const ast::BetweenExpr&>(expr);
      BoundExprPtr value = BindExpr(*between.value, scope, context);
      BoundExprPtr low = MakeCompare(CloneExpr(*value), BindExpr(*between.low, scope, context),
                                     CompareOp::GreaterEqual, expr.line);
      BoundExprPtr high = MakeCompare(std::move(value), BindExpr(*between.high, scope, context),
                                      CompareOp::LessEqual, expr.line);
      BoundExprPtr both = MakeAnd(std::move(low), std::move(high));
      return between.negated ? MakeNot(std::move(both)) : std::move(both);
    }
    case ast::ExprKind::InList:
      return BindInList(static_cast<const ast::InListExpr&>(expr), scope, context);
    case ast::ExprKind::InSubquery: {
      const auto& in = static_cast<const ast::InSubqueryExpr&>(expr);
      BoundExprPtr value = BindExpr(*in.value, scope, context);
      BoundExprPtr node = BindSubquery(*in.subquery, scope, BoundKind::InSubquery, expr.line);
      auto& in_node = *node->As<bound::InSubquery>();
      in_node.compare_type = CommonType(value->type, in_node.query->columns[0].type);
      in_node.negated = in.negated;
      in_node.value = std::move(value);
      return node;
    }
    case ast::ExprKind::Exists:
      return BindSubquery(*static_cast<const ast::ExistsExpr&>(expr).subquery, scope, BoundKind::Exists, expr.line);
    case ast::ExprKind::ScalarSubquery:
      return BindSubquery(*static_cast<const ast::ScalarSubqueryExpr&>(expr).subquery, scope,
                          BoundKind::ScalarSubquery, expr.line);
    case ast::ExprKind::IsNull: {
      const auto& is_null = static_cast<const ast::IsNullExpr&>(expr);
      return MakeExpr<bound::IsNull>(kBit, false, expr.line, BindExpr(*is_null.value, scope, context),
                                     is_null.negated);
    }
    case ast::ExprKind::Like:
      return BindLike(static_cast<const ast::LikeExpr&>(expr), scope, context);
    case ast::ExprKind::Case:
      return BindCase(static_cast<const ast::CaseExpr&>(expr), scope, context);
    case ast::ExprKind::Cast: {
      const auto& cast = static_cast<const ast::CastExpr&>(expr);
      BoundExprPtr value = BindExpr(*cast.value, scope, context);
      DataType target = AtLine(expr.line, [&] { return ResolveTypeName(cast.target, true); });
      int style = -1;
      if (cast.style) {
        if (cast.style->kind != ast::ExprKind::Literal ||
            static_cast<const ast::LiteralExpr&>(*cast.style).literal_type != ast::LiteralExpr::Type::Integer) {
          Throw(ErrorCode::kNotSupported, {"A CONVERT style that is not an integer constant"}, expr.line);
        }
        const std::string& text = static_cast<const ast::LiteralExpr&>(*cast.style).text;
        std::from_chars(text.data(), text.data() + text.size(), style);
      }
      AtLine(expr.line, [&] { CheckExplicitConversion(value->type, target); });
      const bool nullable = value->nullable || cast.is_try;
      return MakeExpr<bound::Cast>(target, nullable, expr.line, std::move(value), style, cast.is_try);
    }
    case ast::ExprKind::Function:
      return BindFunction(static_cast<const ast::FunctionExpr&>(expr), scope, context);
    case ast::ExprKind::Collate: {
      const auto& collate = static_cast<const ast::CollateExpr&>(expr);
      if (!IsSupportedCollation(collate.collation)) {
        Throw(ErrorCode::kNotSupported, {"The collation '" + collate.collation + "'"}, expr.line);
      }
      return BindExpr(*collate.value, scope, context);
    }
  }
  Throw(ErrorCode::kInternal, {"unknown expression"}, expr.line);
}

// Implicit conversions of constants are done once here rather than per row;
// a constant that does not convert keeps its cast, so the error comes only if
// a row reaches it, as in SQL Server.
void Binder::FoldConstantCasts(BoundExpr& node) {
  ForEachChild(node, [&](BoundExprPtr& child) {
    const auto* cast = child->As<bound::Cast>();
    const auto* constant = cast ? cast->operand->As<bound::Constant>() : nullptr;
    if (!constant) return;
    try {
      Value folded = CastValue(constant->value, child->type, context_.arena, cast->style);
      child = MakeExpr<bound::Constant>(child->type, folded.is_null, child->line, folded);
    } catch (const SqlError&) {
    }
  });
}

BoundExprPtr Binder::BindExpr(const ast::Expr& expr, Scope& scope, const ExprContext& context) {
  BoundExprPtr bound = BindExprNode(expr, scope, context);
  FoldConstantCasts(*bound);
  return bound;
}

}  // namespace orv::engine
