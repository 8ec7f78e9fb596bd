// Binding of expressions: literals, names, operators, predicates, CASE and
// CAST. Implicit conversions become Cast nodes here so that the executor
// never has to decide a type. Functions and subqueries are in their own files.
#include <charconv>

#include "engine/binder/binder.h"
#include "engine/catalog/names.h"
#include "engine/common/decimal.h"
#include "engine/common/errors.h"

namespace orv::engine {
namespace {

BoundExprPtr MakeNode(BoundKind kind, const DataType& type, bool nullable, int line) {
  auto node = std::make_unique<BoundExpr>(kind);
  node->type = type;
  node->nullable = nullable;
  node->line = line;
  return node;
}

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
  if (operand.kind != BoundKind::Constant || operand.constant.is_null || other.id != TypeId::Decimal) return;
  if (operand.type.id != TypeId::Int) return;  // larger integer literals are already numeric(p,0)
  const int64_t value = operand.constant.i;
  const auto digits = static_cast<uint8_t>(decimal::DigitCount(value));
  operand.type = DataType{TypeId::Decimal, digits, 0, 0};
  operand.constant = Value::Decimal(value, digits, 0);
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

BoundExprPtr MakeColumn(int column, const DataType& type, bool nullable, std::string name) {
  auto node = MakeNode(BoundKind::Column, type, nullable, 0);
  node->column = column;
  node->name = std::move(name);
  return node;
}

BoundExprPtr MakeCompare(BoundExprPtr left, BoundExprPtr right, CompareOp op, int line) {
  DataType common = CommonType(left->type, right->type);
  bool nullable = left->nullable || right->nullable;
  auto node = MakeNode(BoundKind::Compare, kBit, nullable, line);
  node->compare_op = op;
  node->children.push_back(Binder::ConvertForCompare(std::move(left), common));
  node->children.push_back(Binder::ConvertForCompare(std::move(right), common));
  return node;
}

BoundExprPtr MakeLogical(BoundKind kind, BoundExprPtr left, BoundExprPtr right) {
  auto node = MakeNode(kind, kBit, left->nullable || right->nullable, left->line);
  node->children.push_back(std::move(left));
  node->children.push_back(std::move(right));
  return node;
}

BoundExprPtr MakeNot(BoundExprPtr operand) {
  auto node = MakeNode(BoundKind::Not, kBit, operand->nullable, operand->line);
  node->children.push_back(std::move(operand));
  return node;
}

bool ContainsAggregate(const BoundExpr& expr) {
  if (expr.kind == BoundKind::Aggregate) return true;
  for (const auto& child : expr.children) {
    if (ContainsAggregate(*child)) return true;
  }
  return false;
}

BoundExprPtr Binder::Convert(BoundExprPtr expr, const DataType& type) {
  if (expr->type == type) return expr;
  auto node = MakeNode(BoundKind::Cast, type, expr->nullable, expr->line);
  node->children.push_back(std::move(expr));
  return node;
}

BoundExprPtr Binder::ConvertForCompare(BoundExprPtr expr, const DataType& type) {
  TypeId from = expr->type.id;
  TypeId to = type.id;
  bool compatible = from == to || from == TypeId::Null || (IsInteger(from) && IsInteger(to)) ||
                    (IsString(from) && IsString(to)) || (from == TypeId::Decimal && to == TypeId::Decimal);
  return compatible ? std::move(expr) : Convert(std::move(expr), type);
}

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
      auto node = MakeColumn(static_cast<int>(found_table->offset + found_index), info.type, info.nullable,
                             found_table->exposed + "." + info.name);
      node->depth = depth;
      node->line = line;
      return node;
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
  if (expr.op == ast::BinaryOp::And) return MakeLogical(BoundKind::And, std::move(left), std::move(right));
  if (expr.op == ast::BinaryOp::Or) return MakeLogical(BoundKind::Or, std::move(left), std::move(right));
  TypeIntegerConstantByDigits(*left, right->type);
  TypeIntegerConstantByDigits(*right, left->type);
  const ArithmeticOp op = ToArithmeticOp(expr.op, expr.line);
  DataType type = AtLine(expr.line, [&] { return BinaryResultType(op, left->type, right->type); });
  auto node = MakeNode(BoundKind::Arithmetic, type, left->nullable || right->nullable, expr.line);
  node->binary_op = op;
  node->children.push_back(std::move(left));
  node->children.push_back(std::move(right));
  return node;
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
  auto node = MakeNode(BoundKind::Case, type, nullable, expr.line);
  node->has_else = expr.else_result != nullptr;
  for (size_t i = 0; i < conditions.size(); ++i) {
    node->children.push_back(std::move(conditions[i]));
    node->children.push_back(Convert(std::move(results[i]), type));
  }
  if (node->has_else) node->children.push_back(Convert(std::move(results.back()), type));
  return node;
}

BoundExprPtr Binder::BindLike(const ast::LikeExpr& expr, Scope& scope, const ExprContext& context) {
  auto as_text = [](BoundExprPtr e) {
    if (IsString(e->type.id)) return e;
    return Convert(std::move(e), DataType{TypeId::VarChar, 0, 0, 8000});
  };
  auto node = MakeNode(BoundKind::Like, kBit, true, expr.line);
  node->negated = expr.negated;
  node->children.push_back(as_text(BindExpr(*expr.value, scope, context)));
  node->children.push_back(as_text(BindExpr(*expr.pattern, scope, context)));
  if (expr.escape) node->children.push_back(as_text(BindExpr(*expr.escape, scope, context)));
  node->nullable = node->children[0]->nullable || node->children[1]->nullable;
  auto constant_text = [](const BoundExpr& e) { return e.kind == BoundKind::Constant && !e.constant.is_null; };
  if (constant_text(*node->children[1]) && (node->children.size() == 2 || constant_text(*node->children[2]))) {
    char32_t escape = node->children.size() > 2 ? collation::FirstCodePoint(node->children[2]->constant.s()) : 0;
    node->like_pattern = std::make_shared<collation::LikePattern>(node->children[1]->constant.s(), escape);
  }
  return node;
}

BoundExprPtr Binder::BindExprNode(const ast::Expr& expr, Scope& scope, const ExprContext& context) {
  switch (expr.kind) {
    case ast::ExprKind::Literal: {
      const auto& literal = static_cast<const ast::LiteralExpr&>(expr);
      DataType type = LiteralType(literal.literal_type, literal.text);
      auto node = MakeNode(BoundKind::Constant, type, literal.literal_type == ast::LiteralExpr::Type::Null, expr.line);
      node->constant = LiteralValue(literal.literal_type, literal.text, type, context_.arena);
      return node;
    }
    case ast::ExprKind::ColumnRef:
      return BindColumn(static_cast<const ast::ColumnRefExpr&>(expr).name, scope, expr.line);
    case ast::ExprKind::Star:
      Throw(ErrorCode::kIncorrectSyntax, {"*"}, expr.line);
    case ast::ExprKind::Variable:
      Throw(ErrorCode::kMustDeclareVariable, {static_cast<const ast::VariableExpr&>(expr).name}, expr.line);
    case ast::ExprKind::Unary: {
      const auto& unary = static_cast<const ast::UnaryExpr&>(expr);
      BoundExprPtr operand = BindExpr(*unary.operand, scope, context);
      if (unary.op == ast::UnaryOp::Not) return MakeNot(std::move(operand));
      const PrefixOp op = ToPrefixOp(unary.op, expr.line);
      auto node = MakeNode(BoundKind::Unary, UnaryResultType(op, operand->type), operand->nullable, expr.line);
      node->unary_op = op;
      node->children.push_back(std::move(operand));
      return node;
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
      BoundExprPtr both = MakeLogical(BoundKind::And, std::move(low), std::move(high));
      return between.negated ? MakeNot(std::move(both)) : std::move(both);
    }
    case ast::ExprKind::InList: {
      // x IN (a, b) is x = a OR x = b; NOT IN negates that, so a NULL in the
      // list makes NOT IN unknown, as SQL Server's three-valued logic has it.
      const auto& in = static_cast<const ast::InListExpr&>(expr);
      BoundExprPtr value = BindExpr(*in.value, scope, context);
      std::vector<BoundExprPtr> terms;
      for (const auto& item : in.list) {
        terms.push_back(MakeCompare(CloneExpr(*value), BindExpr(*item, scope, context), CompareOp::Equal, expr.line));
      }
      // Pairwise, so that a long list makes a shallow tree rather than a deep chain.
      while (terms.size() > 1) {
        std::vector<BoundExprPtr> pairs;
        for (size_t i = 0; i + 1 < terms.size(); i += 2) {
          pairs.push_back(MakeLogical(BoundKind::Or, std::move(terms[i]), std::move(terms[i + 1])));
        }
        if (terms.size() % 2) pairs.push_back(std::move(terms.back()));
        terms = std::move(pairs);
      }
      BoundExprPtr any = std::move(terms.front());
      return in.negated ? MakeNot(std::move(any)) : std::move(any);
    }
    case ast::ExprKind::InSubquery: {
      const auto& in = static_cast<const ast::InSubqueryExpr&>(expr);
      BoundExprPtr value = BindExpr(*in.value, scope, context);
      BoundExprPtr node = BindSubquery(*in.subquery, scope, BoundKind::InSubquery, expr.line);
      node->compare_type = CommonType(value->type, node->subquery->columns[0].type);
      node->negated = in.negated;
      node->children.push_back(std::move(value));
      return node;
    }
    case ast::ExprKind::Exists:
      return BindSubquery(*static_cast<const ast::ExistsExpr&>(expr).subquery, scope, BoundKind::Exists, expr.line);
    case ast::ExprKind::ScalarSubquery:
      return BindSubquery(*static_cast<const ast::ScalarSubqueryExpr&>(expr).subquery, scope,
                          BoundKind::ScalarSubquery, expr.line);
    case ast::ExprKind::IsNull: {
      const auto& is_null = static_cast<const ast::IsNullExpr&>(expr);
      auto node = MakeNode(BoundKind::IsNull, kBit, false, expr.line);
      node->negated = is_null.negated;
      node->children.push_back(BindExpr(*is_null.value, scope, context));
      return node;
    }
    case ast::ExprKind::Like:
      return BindLike(static_cast<const ast::LikeExpr&>(expr), scope, context);
    case ast::ExprKind::Case:
      return BindCase(static_cast<const ast::CaseExpr&>(expr), scope, context);
    case ast::ExprKind::Cast: {
      const auto& cast = static_cast<const ast::CastExpr&>(expr);
      BoundExprPtr value = BindExpr(*cast.value, scope, context);
      DataType target = AtLine(expr.line, [&] { return ResolveTypeName(cast.target, true); });
      auto node = MakeNode(BoundKind::Cast, target, value->nullable, expr.line);
      if (cast.style) {
        if (cast.style->kind != ast::ExprKind::Literal ||
            static_cast<const ast::LiteralExpr&>(*cast.style).literal_type != ast::LiteralExpr::Type::Integer) {
          Throw(ErrorCode::kNotSupported, {"A CONVERT style that is not an integer constant"}, expr.line);
        }
        const std::string& text = static_cast<const ast::LiteralExpr&>(*cast.style).text;
        std::from_chars(text.data(), text.data() + text.size(), node->style);
      }
      node->children.push_back(std::move(value));
      return node;
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
  for (auto& child : node.children) {
    if (child->kind != BoundKind::Cast || child->children[0]->kind != BoundKind::Constant) continue;
    try {
      Value folded = CastValue(child->children[0]->constant, child->type, context_.arena, child->style);
      auto constant = MakeNode(BoundKind::Constant, child->type, folded.is_null, child->line);
      constant->constant = folded;
      child = std::move(constant);
    } catch (const SqlError&) {
    }
  }
}

BoundExprPtr Binder::BindExpr(const ast::Expr& expr, Scope& scope, const ExprContext& context) {
  BoundExprPtr bound = BindExprNode(expr, scope, context);
  FoldConstantCasts(*bound);
  return bound;
}

}  // namespace orv::engine
