// Entry point of the parser and the token cursor shared by its parts: keyword
// and operator tests, names, and the errors SQL Server gives for bad syntax
// (102/156 naming the offending token, 4145, 191, 50001).
#include "engine/parser/parser.h"

#include "engine/common/ascii.h"
#include "engine/parser/keywords.h"
#include "engine/parser/parser_impl.h"

namespace orv::engine {

ast::Batch ParseBatch(std::string_view text) { return parse::Parser(text).ParseBatch(); }

ast::ExprPtr ParseScalarExpression(std::string_view text, int first_line) {
  return parse::Parser(text, first_line).ParseWholeScalar();
}

namespace parse {

Parser::Parser(std::string_view text, int first_line) : text_(text), tokens_(Tokenize(text)) {
  for (Token& token : tokens_) token.line += first_line - 1;
}

Parser::NestGuard::NestGuard(Parser& parser) : parser_(parser) {
  if (++parser_.depth_ > kMaxDepth) {
    --parser_.depth_;
    Throw(ErrorCode::kNestedTooDeeply, {}, parser_.Line());
  }
}

ast::Batch Parser::ParseBatch() {
  ast::Batch batch;
  while (!AtEnd()) {
    if (AcceptOp(";")) continue;
    batch.statements.push_back(ParseStatement());
  }
  return batch;
}

ast::ExprPtr Parser::ParseWholeScalar() {
  ast::ExprPtr expr = ParseScalar();
  if (!AtEnd()) SyntaxError();
  return expr;
}

std::string_view Parser::SourceText(size_t first) const {
  if (pos_ <= first) return {};
  return text_.substr(tokens_[first].begin, tokens_[pos_ - 1].end - tokens_[first].begin);
}

const Token& Parser::Ahead(size_t n) const {
  const size_t index = pos_ + n;
  return index < tokens_.size() ? tokens_[index] : tokens_.back();
}

bool Parser::IsWord(const Token& t, std::string_view word) const {
  return t.kind == TokenKind::Word && EqualsIgnoreCase(text_.substr(t.begin, t.end - t.begin), word);
}

bool Parser::AtOp(std::string_view op, size_t ahead) const {
  const Token& t = Ahead(ahead);
  return t.kind == TokenKind::Operator && t.op == OperatorCode(op);
}

bool Parser::AcceptWord(std::string_view word) {
  if (!AtWord(word)) return false;
  Advance();
  return true;
}

bool Parser::AcceptOp(std::string_view op) {
  if (!AtOp(op)) return false;
  Advance();
  return true;
}

void Parser::ExpectWord(std::string_view word) {
  if (!AcceptWord(word)) SyntaxError();
}

void Parser::ExpectOp(std::string_view op) {
  if (!AcceptOp(op)) SyntaxError();
}

bool Parser::IsName(const Token& t) const {
  return t.kind == TokenKind::QuotedName || (t.kind == TokenKind::Word && !t.reserved);
}

std::string Parser::Upper(const Token& t) const {
  return AsciiUpper(Value(t));
}

std::string Parser::ExpectName() {
  if (!IsName(Cur())) SyntaxError();
  std::string name = Value(Cur());
  Advance();
  return name;
}

// name, a.b, a.b.c, a..b, up to four parts; a variable in a name position is a
// table variable, which the engine does not have.
ast::Name Parser::ParseMultipartName() {
  if (Cur().kind == TokenKind::Variable) NotSupported("A table variable");
  ast::Name name{ExpectName()};
  while (AtOp(".") && !AtOp("*", 1)) {
    Advance();
    if (AtOp(".")) {
      name.emplace_back();
      continue;
    }
    name.push_back(ExpectName());
  }
  if (name.size() > 4) SyntaxError();
  return name;
}

void Parser::SkipParenthesized() {
  ExpectOp("(");
  for (int open = 1; open > 0;) {
    if (AtEnd()) SyntaxError();
    if (AtOp("(")) ++open;
    if (AtOp(")")) --open;
    Advance();
  }
}

// SQL Server names the offending token; at the end of the batch, the last one.
void Parser::SyntaxErrorAt(size_t index) const {
  if (tokens_[index].kind == TokenKind::End && index > 0) --index;
  const Token& t = tokens_[index];
  if (t.kind == TokenKind::Word && t.reserved) {
    Throw(ErrorCode::kIncorrectSyntaxKeyword, {text_.substr(t.begin, t.end - t.begin)}, t.line);
  }
  Throw(ErrorCode::kIncorrectSyntax, {TokenDisplay(text_, t)}, t.line);
}

void Parser::NotSupported(std::string_view what) const { Throw(ErrorCode::kNotSupported, {what}, Line()); }

bool Parser::IsCondition(const ast::Expr& e) {
  switch (e.kind) {
    case ast::ExprKind::Binary: {
      const auto op = static_cast<const ast::BinaryExpr&>(e).op;
      return op != ast::BinaryOp::Add && op != ast::BinaryOp::Subtract && op != ast::BinaryOp::Multiply &&
             op != ast::BinaryOp::Divide && op != ast::BinaryOp::Modulo && op != ast::BinaryOp::BitAnd &&
             op != ast::BinaryOp::BitOr && op != ast::BinaryOp::BitXor;
    }
    case ast::ExprKind::Unary:
      return static_cast<const ast::UnaryExpr&>(e).op == ast::UnaryOp::Not;
    case ast::ExprKind::Between:
    case ast::ExprKind::InList:
    case ast::ExprKind::InSubquery:
    case ast::ExprKind::Exists:
    case ast::ExprKind::IsNull:
    case ast::ExprKind::Like:
      return true;
    default:
      return false;
  }
}

void Parser::RequireCondition(const ast::Expr& e) const {
  if (IsCondition(e)) return;
  size_t index = pos_;
  if (tokens_[index].kind == TokenKind::End && index > 0) --index;
  Throw(ErrorCode::kNonBooleanCondition, {TokenDisplay(text_, tokens_[index])}, tokens_[index].line);
}

void Parser::SetHeight(int child_height) {
  height_ = child_height + 1;
  if (height_ > kMaxHeight) Throw(ErrorCode::kNestedTooDeeply, {}, Line());
}

}  // namespace parse
}  // namespace orv::engine
