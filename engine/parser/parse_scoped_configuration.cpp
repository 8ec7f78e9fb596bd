// ALTER DATABASE SCOPED CONFIGURATION: the database's own MAXDOP, and
// CLEAR PROCEDURE_CACHE. The other settings tune a server's optimizer or
// replicas this engine does not have, and are refused by name.
#include <algorithm>

#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

ast::StmtPtr Parser::ParseScopedConfiguration() {
  auto stmt = std::make_unique<ast::ScopedConfigurationStmt>();
  stmt->line = Line();
  ExpectWord("ALTER");
  ExpectWord("DATABASE");
  ExpectWord("SCOPED");
  ExpectWord("CONFIGURATION");
  if (AtWord("FOR")) NotSupported("ALTER DATABASE SCOPED CONFIGURATION FOR SECONDARY");
  if (AcceptWord("CLEAR")) {
    ExpectWord("PROCEDURE_CACHE");
    return stmt;
  }
  ExpectWord("SET");
  if (!AtWord("MAXDOP")) {
    if (Cur().kind != TokenKind::Word) SyntaxError();
    NotSupported("The database scoped configuration " + Upper(Cur()));
  }
  Advance();
  ExpectOp("=");
  if (AtWord("PRIMARY")) NotSupported("MAXDOP = PRIMARY, a setting of secondary replicas,");
  if (Cur().kind != TokenKind::Integer) SyntaxError();
  // Leading zeros say nothing: 0002 is 2.
  const std::string written = Value(Cur());
  const std::string digits = written.substr(std::min(written.find_first_not_of('0'), written.size() - 1));
  if (digits.size() > 5 || std::stoi(digits) > 32767) {
    Throw(ErrorCode::kInvalidConfigurationValue, {digits, "MAXDOP"}, Line());
  }
  stmt->max_dop = std::stoi(digits);
  Advance();
  return stmt;
}

}  // namespace orv::engine::parse
