// The operands of expressions: literals, column references, function calls
// (with their special forms: COUNT(*), DISTINCT, the date part of DATEADD and
// its kin), CASE, CAST, CONVERT and EXISTS.
#include <algorithm>

#include "engine/common/ascii.h"
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using ast::ExprPtr;

namespace {

// Functions whose first argument is a date part keyword, not an expression.
constexpr std::string_view kDatePartFunctions[] = {"DATEADD", "DATEDIFF", "DATEDIFF_BIG", "DATEPART", "DATENAME"};

// Reserved words that are also built-in functions when a '(' follows.
constexpr std::string_view kReservedFunctions[] = {"LEFT", "RIGHT", "COALESCE", "NULLIF"};

// The standard's niladic functions, written without parentheses, and the
// built-ins they are: CURRENT_TIMESTAMP reads the same clock as GETDATE().
std::string_view NiladicFunction(std::string_view upper) {
  static constexpr std::pair<std::string_view, std::string_view> kNiladic[] = {
      {"CURRENT_TIMESTAMP", "GETDATE"}, {"CURRENT_USER", "USER_NAME"}, {"SESSION_USER", "USER_NAME"},
      {"USER", "USER_NAME"},           {"SYSTEM_USER", "SUSER_SNAME"}};
  for (const auto& [word, function] : kNiladic) {
    if (upper == word) return function;
  }
  return {};
}

}  // namespace

ExprPtr Parser::ParseLiteral() {
  const Token& t = Cur();
  auto node = std::make_unique<ast::LiteralExpr>();
  node->line = t.line;
  using Type = ast::LiteralExpr::Type;
  switch (t.kind) {
    case TokenKind::Integer:
      node->literal_type = Type::Integer;
      break;
    case TokenKind::Decimal:
      node->literal_type = Type::Decimal;
      break;
    case TokenKind::Float:
      node->literal_type = Type::Float;
      break;
    case TokenKind::String:
      node->literal_type = Type::String;
      break;
    case TokenKind::NString:
      node->literal_type = Type::NString;
      break;
    default:
      node->literal_type = Type::Null;
      break;
  }
  if (node->literal_type != Type::Null) node->text = Value(t);
  Advance();
  height_ = 1;
  return node;
}

ExprPtr Parser::ParseNameOrCall() {
  const Token& t = Cur();
  if (t.kind == TokenKind::Word && t.reserved) {
    if (IsWord(t, "CASE")) return ParseCase();
    if ((IsWord(t, "CONVERT") || IsWord(t, "TRY_CONVERT")) && AtOp("(", 1)) return ParseConvert();
    if (const std::string_view function = NiladicFunction(Upper(t)); !function.empty()) {
      auto node = std::make_unique<ast::FunctionExpr>();
      node->name = function;
      node->line = t.line;
      Advance();
      height_ = 1;
      return node;
    }
    const std::string upper = Upper(t);
    const bool callable = std::find(std::begin(kReservedFunctions), std::end(kReservedFunctions), upper) !=
                          std::end(kReservedFunctions);
    if (!callable || !AtOp("(", 1)) SyntaxError();
    Advance();
    return ParseFunctionCall(upper, t.line);
  }
  if (t.kind == TokenKind::Word && AtOp("(", 1)) {
    if (IsWord(t, "CAST") || IsWord(t, "TRY_CAST")) return ParseCast();
    if (IsWord(t, "IIF")) return ParseIif();
    if (IsWord(t, "TRY_PARSE") || IsWord(t, "PARSE")) NotSupported(Upper(t));
    std::string upper = Upper(t);
    Advance();
    return ParseFunctionCall(std::move(upper), t.line);
  }
  const int line = t.line;
  ast::Name name = ParseMultipartName();
  if (AtOp("(")) NotSupported("The user-defined function '" + name.back() + "'");
  auto node = std::make_unique<ast::ColumnRefExpr>();
  node->line = line;
  node->name = std::move(name);
  height_ = 1;
  return node;
}

// At the '(' after the function name, which stood on `line`.
ExprPtr Parser::ParseFunctionCall(std::string name, int line) {
  auto node = std::make_unique<ast::FunctionExpr>();
  node->line = line;
  ExpectOp("(");
  node->name = std::move(name);
  int height = 0;
  const bool takes_date_part = std::find(std::begin(kDatePartFunctions), std::end(kDatePartFunctions),
                                         node->name) != std::end(kDatePartFunctions);
  if (takes_date_part) {
    if (Cur().kind != TokenKind::Word) SyntaxError();
    node->datepart = AsciiLower(Value(Cur()));
    Advance();
    if (!AtOp(")")) ExpectOp(",");
  }
  if (!AtOp(")")) {
    if (AtOp("*") && !takes_date_part) {
      node->star = true;
      Advance();
    } else {
      if (!takes_date_part) {
        node->distinct = AcceptWord("DISTINCT");
        if (!node->distinct) AcceptWord("ALL");
      }
      do {
        node->args.push_back(ParseScalar());
        Note(height);
      } while (AcceptOp(","));
    }
  }
  ExpectOp(")");
  if (AtWord("OVER")) {
    node->over = ParseWindowSpec();
    Note(height);
  }
  if (AtWord("WITHIN") && AtWord("GROUP", 1)) {
    // WITHIN GROUP (ORDER BY ...): the order an ordered aggregate reads its group in.
    Advance();
    Advance();
    ExpectOp("(");
    node->within_group = std::make_unique<ast::WindowSpec>();
    node->within_group->order_by = ParseOrderBy();
    Note(height);
    ExpectOp(")");
  }
  SetHeight(height);
  return node;
}

ExprPtr Parser::ParseCase() {
  auto node = std::make_unique<ast::CaseExpr>();
  node->line = Line();
  ExpectWord("CASE");
  int height = 0;
  if (!AtWord("WHEN")) {
    node->operand = ParseScalar();
    Note(height);
  }
  while (AcceptWord("WHEN")) {
    ast::CaseExpr::When when;
    when.condition = node->operand ? ParseScalar() : ParseCondition();
    Note(height);
    ExpectWord("THEN");
    when.result = ParseScalar();
    Note(height);
    node->whens.push_back(std::move(when));
  }
  if (node->whens.empty()) SyntaxError();
  if (AcceptWord("ELSE")) {
    node->else_result = ParseScalar();
    Note(height);
  }
  ExpectWord("END");
  SetHeight(height);
  return node;
}

ExprPtr Parser::ParseCast() {
  auto node = std::make_unique<ast::CastExpr>();
  node->line = Line();
  node->is_try = IsWord(Cur(), "TRY_CAST");
  Advance();
  ExpectOp("(");
  node->value = ParseScalar();
  const int height = height_;
  ExpectWord("AS");
  node->target = ParseTypeName();
  ExpectOp(")");
  SetHeight(height);
  return node;
}

ExprPtr Parser::ParseConvert() {
  auto node = std::make_unique<ast::CastExpr>();
  node->line = Line();
  node->is_convert = true;
  node->is_try = IsWord(Cur(), "TRY_CONVERT");
  Advance();
  ExpectOp("(");
  node->target = ParseTypeName();
  ExpectOp(",");
  node->value = ParseScalar();
  int height = height_;
  if (AcceptOp(",")) {
    node->style = ParseScalar();
    Note(height);
  }
  ExpectOp(")");
  SetHeight(height);
  return node;
}

// IIF(condition, a, b) is CASE WHEN condition THEN a ELSE b END.
ExprPtr Parser::ParseIif() {
  auto node = std::make_unique<ast::CaseExpr>();
  node->line = Line();
  Advance();
  ExpectOp("(");
  int height = 0;
  ast::CaseExpr::When when;
  when.condition = ParseCondition();
  Note(height);
  ExpectOp(",");
  when.result = ParseScalar();
  Note(height);
  node->whens.push_back(std::move(when));
  ExpectOp(",");
  node->else_result = ParseScalar();
  Note(height);
  ExpectOp(")");
  SetHeight(height);
  return node;
}

ExprPtr Parser::ParseExists() {
  auto node = std::make_unique<ast::ExistsExpr>();
  node->line = Line();
  ExpectWord("EXISTS");
  ExpectOp("(");
  if (!AtQueryStart()) SyntaxError();
  node->subquery = ParseQueryExpression();
  const int height = height_;
  ExpectOp(")");
  SetHeight(height);
  return node;
}

}  // namespace orv::engine::parse
