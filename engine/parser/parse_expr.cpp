// Expressions by SQL Server's operator precedence: ~; * / %; + - (signs, add,
// subtract, & ^ |); comparisons and the predicates BETWEEN, IN, LIKE, IS NULL;
// NOT; AND; OR. Conditions and values are kept apart as SQL Server does: a
// comparison is no value ("SELECT 1=1" is a syntax error) and a value is no
// condition ("WHERE a" is error 4145).
#include <algorithm>
#include <span>

#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using ast::BinaryOp;
using ast::ExprPtr;

namespace {

// The operators of one precedence level and what each builds.
struct OpEntry {
  std::string_view text;
  BinaryOp op;
};
constexpr OpEntry kComparisons[] = {
    {"=", BinaryOp::Equal},     {"<>", BinaryOp::NotEqual},      {"!=", BinaryOp::NotEqual},
    {"<", BinaryOp::Less},      {"<=", BinaryOp::LessEqual},     {">", BinaryOp::Greater},
    {">=", BinaryOp::GreaterEqual}, {"!<", BinaryOp::GreaterEqual}, {"!>", BinaryOp::LessEqual},
};
constexpr OpEntry kAdditive[] = {
    {"+", BinaryOp::Add}, {"-", BinaryOp::Subtract}, {"&", BinaryOp::BitAnd}, {"|", BinaryOp::BitOr}, {"^", BinaryOp::BitXor},
};
constexpr OpEntry kMultiplicative[] = {
    {"*", BinaryOp::Multiply}, {"/", BinaryOp::Divide}, {"%", BinaryOp::Modulo},
};

ExprPtr MakeBinary(BinaryOp op, ExprPtr left, ExprPtr right) {
  auto node = std::make_unique<ast::BinaryExpr>();
  node->line = left->line;
  node->op = op;
  node->left = std::move(left);
  node->right = std::move(right);
  return node;
}

ExprPtr MakeUnary(ast::UnaryOp op, ExprPtr operand, int line) {
  auto node = std::make_unique<ast::UnaryExpr>();
  node->line = line;
  node->op = op;
  node->operand = std::move(operand);
  return node;
}

}  // namespace

ExprPtr Parser::ParseCondition() {
  NestGuard guard(*this);
  return ParseOr(false);
}

ExprPtr Parser::ParseConditionOrScalar() {
  NestGuard guard(*this);
  return ParseOr(true);
}

ExprPtr Parser::ParseScalar() {
  NestGuard guard(*this);
  return ParseAdditive(false);
}

ExprPtr Parser::ParseOr(bool scalar_ok) { return ParseLogicalChain(scalar_ok, BinaryOp::Or); }

ExprPtr Parser::ParseAnd(bool scalar_ok) { return ParseLogicalChain(scalar_ok, BinaryOp::And); }

// OR over AND terms, or AND over NOT terms. `scalar_ok`: a lone value may come
// back (parentheses in a condition hold either); as soon as the operator
// follows, both sides must be conditions.
ExprPtr Parser::ParseLogicalChain(bool scalar_ok, BinaryOp op) {
  const std::string_view word = op == BinaryOp::Or ? "OR" : "AND";
  auto operand = [this, op](bool ok) { return op == BinaryOp::Or ? ParseAnd(ok) : ParseNot(ok); };
  ExprPtr left = operand(scalar_ok);
  int height = height_;
  while (AtWord(word)) {
    RequireCondition(*left);
    Advance();
    ExprPtr right = operand(false);
    Note(height);
    left = MakeBinary(op, std::move(left), std::move(right));
    SetHeight(height);
    height = height_;
  }
  return left;
}

ExprPtr Parser::ParseNot(bool scalar_ok) {
  std::vector<int> not_lines;
  while (AtWord("NOT")) {
    not_lines.push_back(Line());
    Advance();
  }
  ExprPtr operand = ParsePredicate();
  if (!scalar_ok || !not_lines.empty()) RequireCondition(*operand);
  for (auto it = not_lines.rbegin(); it != not_lines.rend(); ++it) {
    operand = MakeUnary(ast::UnaryOp::Not, std::move(operand), *it);
    SetHeight(height_);
  }
  return operand;
}

ExprPtr Parser::ParsePredicate() {
  ExprPtr left = ParseAdditive(true);
  // A parenthesised condition or EXISTS is complete; what follows is the caller's.
  if (IsCondition(*left)) return left;
  return ParsePredicateTail(std::move(left), height_);
}

// The comparison or predicate after a value, if any.
ExprPtr Parser::ParsePredicateTail(ExprPtr left, int height) {
  for (const OpEntry& entry : kComparisons) {
    if (!AtOp(entry.text)) continue;
    Advance();
    if (AtWord("ALL") || AtWord("ANY") || AtWord("SOME")) NotSupported("A comparison with ALL, ANY or SOME");
    ExprPtr right = ParseAdditive(false);
    Note(height);
    ExprPtr node = MakeBinary(entry.op, std::move(left), std::move(right));
    SetHeight(height);
    return node;
  }
  const bool negated = AtWord("NOT") && (AtWord("BETWEEN", 1) || AtWord("IN", 1) || AtWord("LIKE", 1));
  if (negated) Advance();
  const int line = left->line;
  if (AcceptWord("BETWEEN")) {
    auto node = std::make_unique<ast::BetweenExpr>();
    node->value = std::move(left);
    node->low = ParseAdditive(false);
    Note(height);
    ExpectWord("AND");
    node->high = ParseAdditive(false);
    Note(height);
    node->negated = negated;
    node->line = line;
    SetHeight(height);
    return node;
  }
  if (AcceptWord("LIKE")) {
    auto node = std::make_unique<ast::LikeExpr>();
    node->value = std::move(left);
    node->pattern = ParseAdditive(false);
    Note(height);
    if (AcceptWord("ESCAPE")) {
      node->escape = ParseAdditive(false);
      Note(height);
    }
    node->negated = negated;
    node->line = line;
    SetHeight(height);
    return node;
  }
  if (AcceptWord("IN")) {
    ExpectOp("(");
    if (AtQueryStart()) {
      auto node = std::make_unique<ast::InSubqueryExpr>();
      node->value = std::move(left);
      node->subquery = ParseQueryExpression();
      Note(height);
      ExpectOp(")");
      node->negated = negated;
      node->line = line;
      SetHeight(height);
      return node;
    }
    auto node = std::make_unique<ast::InListExpr>();
    node->value = std::move(left);
    do {
      node->list.push_back(ParseScalar());
      Note(height);
    } while (AcceptOp(","));
    ExpectOp(")");
    node->negated = negated;
    node->line = line;
    SetHeight(height);
    return node;
  }
  if (AtWord("IS")) {
    Advance();
    auto node = std::make_unique<ast::IsNullExpr>();
    node->negated = AcceptWord("NOT");
    ExpectWord("NULL");
    node->value = std::move(left);
    node->line = line;
    SetHeight(height);
    return node;
  }
  height_ = height;
  return left;
}

ExprPtr Parser::ParseAdditive(bool condition_ok) { return ParseArithmeticChain(condition_ok, false); }

ExprPtr Parser::ParseMultiplicative(bool condition_ok) { return ParseArithmeticChain(condition_ok, true); }

// One arithmetic level, left to right: + - & ^ | over signed terms, or * / %
// over factors. A condition (from parentheses) takes no operator.
ExprPtr Parser::ParseArithmeticChain(bool condition_ok, bool multiplicative) {
  auto operand = [this, multiplicative](bool ok) { return multiplicative ? ParseFactor(ok) : ParseSignedTerm(ok); };
  const std::span<const OpEntry> ops = multiplicative ? std::span<const OpEntry>(kMultiplicative)
                                                      : std::span<const OpEntry>(kAdditive);
  ExprPtr left = operand(condition_ok);
  int height = height_;
  while (!IsCondition(*left)) {
    const auto found = std::find_if(ops.begin(), ops.end(), [this](const OpEntry& e) { return AtOp(e.text); });
    if (found == ops.end()) break;
    Advance();
    ExprPtr right = operand(false);
    Note(height);
    left = MakeBinary(found->op, std::move(left), std::move(right));
    SetHeight(height);
    height = height_;
  }
  height_ = height;
  return left;
}

// A sign in front of a term applies to the whole product, one level below * / %.
ExprPtr Parser::ParseSignedTerm(bool condition_ok) {
  std::vector<const Token*> signs;
  while (AtOp("-") || AtOp("+")) {
    signs.push_back(&Cur());
    Advance();
  }
  ExprPtr term = ParseMultiplicative(condition_ok && signs.empty());
  for (auto it = signs.rbegin(); it != signs.rend(); ++it) {
    const bool minus = text_[(*it)->begin] == '-';
    term = MakeUnary(minus ? ast::UnaryOp::Negate : ast::UnaryOp::Plus, std::move(term), (*it)->line);
    SetHeight(height_);
  }
  return term;
}

// Prefix ~ (and a sign written right after * / %) binds to the operand alone.
ExprPtr Parser::ParseFactor(bool condition_ok) {
  std::vector<const Token*> prefixes;
  while (AtOp("~") || AtOp("-") || AtOp("+")) {
    prefixes.push_back(&Cur());
    Advance();
  }
  ExprPtr operand = ParsePrimary(condition_ok && prefixes.empty());
  for (auto it = prefixes.rbegin(); it != prefixes.rend(); ++it) {
    const char c = text_[(*it)->begin];
    const auto op = c == '~' ? ast::UnaryOp::BitNot : c == '-' ? ast::UnaryOp::Negate : ast::UnaryOp::Plus;
    operand = MakeUnary(op, std::move(operand), (*it)->line);
    SetHeight(height_);
  }
  return operand;
}

ExprPtr Parser::ParsePrimary(bool condition_ok) {
  const Token& t = Cur();
  ExprPtr value;
  switch (t.kind) {
    case TokenKind::Integer:
    case TokenKind::Decimal:
    case TokenKind::Float:
    case TokenKind::String:
    case TokenKind::NString:
      value = ParseLiteral();
      break;
    case TokenKind::Variable: {
      CheckDeclared(Value(t), t.line);
      auto node = std::make_unique<ast::VariableExpr>();
      node->name = Value(t);
      node->line = t.line;
      Advance();
      height_ = 1;
      value = std::move(node);
      break;
    }
    case TokenKind::Operator:
      if (!AtOp("(")) SyntaxError();
      value = ParseParenthesized(condition_ok);
      break;
    case TokenKind::Word:
    case TokenKind::QuotedName:
      if (IsWord(t, "NULL")) {
        value = ParseLiteral();
      } else if (IsWord(t, "EXISTS") && condition_ok) {
        return ParseExists();
      } else {
        value = ParseNameOrCall();
      }
      break;
    default:
      SyntaxError();
  }
  if (IsCondition(*value)) return value;
  return ParseCollate(std::move(value));
}

ExprPtr Parser::ParseParenthesized(bool condition_ok) {
  const int line = Line();
  ExpectOp("(");
  if (AtQueryContent()) {
    auto node = std::make_unique<ast::ScalarSubqueryExpr>();
    node->line = line;
    node->subquery = ParseQueryExpression();
    ExpectOp(")");
    SetHeight(height_);
    return node;
  }
  ExprPtr inner = condition_ok ? ParseConditionOrScalar() : ParseScalar();
  const int height = height_;
  ExpectOp(")");
  height_ = height;
  return inner;
}

ExprPtr Parser::ParseCollate(ExprPtr value) {
  int height = height_;
  while (AtWord("COLLATE")) {
    Advance();
    auto node = std::make_unique<ast::CollateExpr>();
    node->line = value->line;
    node->collation = ExpectName();
    node->value = std::move(value);
    SetHeight(height);
    height = height_;
    value = std::move(node);
  }
  height_ = height;
  return value;
}

}  // namespace orv::engine::parse
