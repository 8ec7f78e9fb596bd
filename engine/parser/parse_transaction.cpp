// BEGIN TRANSACTION, COMMIT, ROLLBACK, SAVE TRANSACTION and SET LOCK_TIMEOUT.
// A transaction name is an identifier; one held in a variable is refused by
// name until the engine has variables.
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using ast::StmtPtr;
using Op = ast::TransactionStmt::Op;

bool Parser::AtTransactionStatement() const {
  if (AtWord("BEGIN")) return AtWord("TRAN", 1) || AtWord("TRANSACTION", 1);
  return AtWord("COMMIT") || AtWord("ROLLBACK") || AtWord("SAVE");
}

StmtPtr Parser::ParseTransaction() {
  auto stmt = std::make_unique<ast::TransactionStmt>();
  stmt->line = Line();
  if (AcceptWord("BEGIN")) {
    stmt->op = Op::Begin;
  } else if (AcceptWord("COMMIT")) {
    stmt->op = Op::Commit;
  } else if (AcceptWord("ROLLBACK")) {
    stmt->op = Op::Rollback;
  } else {
    ExpectWord("SAVE");
    stmt->op = Op::Save;
  }
  const bool tran = AcceptWord("TRAN") || AcceptWord("TRANSACTION");
  if (!tran) {
    if (stmt->op == Op::Begin || stmt->op == Op::Save) SyntaxError();
    AcceptWord("WORK");
    return stmt;
  }
  if (Cur().kind == TokenKind::Variable) NotSupported("A transaction name in a variable");
  if (IsName(Cur())) {
    stmt->name = ExpectName();
    // SQL Server keeps the first 32 characters of a transaction or savepoint name.
    if (stmt->name.size() > 32) Throw(ErrorCode::kTransactionNameTooLong, {stmt->name.substr(0, 32)}, stmt->line);
  } else if (stmt->op == Op::Save) {
    SyntaxError();
  }
  if (stmt->op == Op::Begin && AtWord("WITH")) NotSupported("BEGIN TRANSACTION WITH MARK");
  if (stmt->op == Op::Commit && AtWord("WITH")) NotSupported("COMMIT WITH DELAYED_DURABILITY");
  return stmt;
}

StmtPtr Parser::ParseLockTimeout(int line) {
  ExpectWord("LOCK_TIMEOUT");
  auto stmt = std::make_unique<ast::SetOptionStmt>();
  stmt->line = line;
  stmt->option = "LOCK_TIMEOUT";
  const bool negative = AcceptOp("-");
  if (Cur().kind != TokenKind::Integer) SyntaxError();
  const std::string digits = Value(Cur());
  if (digits.size() > 10) SyntaxError();
  stmt->number = std::stoll(digits) * (negative ? -1 : 1);
  Advance();
  return stmt;
}

}  // namespace orv::engine::parse
