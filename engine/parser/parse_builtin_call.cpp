// EXEC of a procedure by name with constant arguments, positional or
// @name = value: enough for the built-in catalog procedures. EXEC of a
// string, of a variable or with OUTPUT is refused by name.
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

ast::StmtPtr Parser::ParseBuiltinCall() {
  auto stmt = std::make_unique<ast::CallBuiltinStmt>();
  stmt->line = Line();
  Advance();  // EXEC / EXECUTE
  if (AtOp("(") || Cur().kind == TokenKind::Variable) NotSupported("EXEC of a string or a variable");
  stmt->procedure = ParseMultipartName();
  // Arguments follow on from the name; a keyword starts the next statement.
  const TokenKind next = Cur().kind;
  const bool has_arguments = next == TokenKind::Variable || next == TokenKind::Integer ||
                             next == TokenKind::Decimal || next == TokenKind::Float || next == TokenKind::String ||
                             next == TokenKind::NString || next == TokenKind::QuotedName || AtOp("-") ||
                             (next == TokenKind::Word && !Cur().reserved) || AtWord("NULL");
  if (!has_arguments) return stmt;
  do {
    ast::CallBuiltinStmt::Argument argument;
    if (Cur().kind == TokenKind::Variable && AtOp("=", 1)) {
      argument.name = Value(Cur());
      Advance();
      Advance();
    }
    if (Cur().kind == TokenKind::Word && !Cur().reserved && !AtOp("(", 1)) {
      // sp_help t: a bare name stands for its own text.
      auto text = std::make_unique<ast::LiteralExpr>();
      text->line = Line();
      text->literal_type = ast::LiteralExpr::Type::NString;
      text->text = Value(Cur());
      Advance();
      argument.value = std::move(text);
    } else {
      argument.value = ParseScalar();
    }
    if (AtWord("OUTPUT") || AtWord("OUT")) NotSupported("An OUTPUT argument");
    stmt->arguments.push_back(std::move(argument));
  } while (AcceptOp(","));
  return stmt;
}

}  // namespace orv::engine::parse
