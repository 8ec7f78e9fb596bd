// BULK INSERT table FROM 'file' WITH (FORMAT, FIRSTROW, LASTROW,
// FIELDTERMINATOR, ROWTERMINATOR, FIELDQUOTE, CODEPAGE, MAXERRORS, KEEPNULLS,
// TABLOCK). Options the engine cannot honour are refused by name.
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

ast::StmtPtr Parser::ParseBulkInsert() {
  auto stmt = std::make_unique<ast::BulkInsertStmt>();
  stmt->line = Line();
  ExpectWord("BULK");
  ExpectWord("INSERT");
  stmt->table = ParseMultipartName();
  ExpectWord("FROM");
  if (Cur().kind != TokenKind::String && Cur().kind != TokenKind::NString) SyntaxError();
  stmt->file = Value(Cur());
  Advance();
  if (!AcceptWord("WITH")) return stmt;
  ExpectOp("(");
  do {
    if (Cur().kind != TokenKind::Word) SyntaxError();
    const std::string option = Upper(Cur());
    Advance();
    if (option == "TABLOCK" || option == "CHECK_CONSTRAINTS" || option == "FIRE_TRIGGERS") continue;
    if (option == "KEEPNULLS") {
      stmt->keep_nulls = true;
      continue;
    }
    ExpectOp("=");
    const Token& value = Cur();
    const bool text = value.kind == TokenKind::String || value.kind == TokenKind::NString;
    if (!text && value.kind != TokenKind::Integer) SyntaxError();
    const std::string written = Value(value);
    auto number = [&] {
      if (value.kind != TokenKind::Integer || written.size() > 18) SyntaxError();
      return std::stoll(written);
    };
    if (option == "FORMAT") {
      if (!text) SyntaxError();
      if (Upper(value) != "CSV") NotSupported("BULK INSERT FORMAT = '" + written + "'");
      stmt->csv = true;
    } else if (option == "FIRSTROW") {
      stmt->first_row = number();
    } else if (option == "LASTROW") {
      stmt->last_row = number();
    } else if (option == "MAXERRORS") {
      stmt->max_errors = number();
    } else if (option == "FIELDTERMINATOR" || option == "ROWTERMINATOR" || option == "FIELDQUOTE" ||
               option == "CODEPAGE") {
      if (!text && option != "CODEPAGE") SyntaxError();
      (option == "FIELDTERMINATOR" ? stmt->field_terminator
       : option == "ROWTERMINATOR" ? stmt->row_terminator
       : option == "FIELDQUOTE"    ? stmt->field_quote
                                   : stmt->code_page) = written;
    } else {
      NotSupported("The BULK INSERT option " + option);
    }
    Advance();
  } while (AcceptOp(","));
  ExpectOp(")");
  return stmt;
}

}  // namespace orv::engine::parse
