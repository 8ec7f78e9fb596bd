// Statements: SELECT, INSERT, UPDATE, DELETE, TRUNCATE, IF/ELSE, BEGIN...END
// and SET. A statement needs no terminator, so the next one may follow on the
// same line; what the engine cannot run is refused by name (50001).
#include <algorithm>

#include "engine/common/ascii.h"
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using ast::StmtPtr;

namespace {

// Transact-SQL statements outside the engine's dialect, refused by name.
constexpr std::string_view kUnsupportedStatements[] = {
    "MERGE",   "GOTO",     "USE",      "ALTER",    "GRANT",
    "DENY",    "REVOKE",   "WAITFOR", "OPEN",   "CLOSE",       "FETCH",    "DEALLOCATE", "KILL",   "DBCC",
    "BACKUP",  "RESTORE",  "CHECKPOINT", "RECONFIGURE", "SHUTDOWN", "UPDATETEXT", "WRITETEXT",
    "READTEXT", "SETUSER", "REVERT",  "ENABLE", "DISABLE",     "RECEIVE",  "SEND",     "GET",
};

// SET options taking ON or OFF that the engine accepts; the executor decides
// which of them change its behaviour.
constexpr std::string_view kOnOffOptions[] = {
    "NOCOUNT",          "ANSI_NULLS",     "QUOTED_IDENTIFIER",       "ANSI_WARNINGS",      "ANSI_PADDING",
    "ANSI_NULL_DFLT_ON", "ANSI_NULL_DFLT_OFF", "ANSI_DEFAULTS",       "ARITHABORT",         "ARITHIGNORE",
    "CONCAT_NULL_YIELDS_NULL", "NUMERIC_ROUNDABORT", "XACT_ABORT", "IMPLICIT_TRANSACTIONS", "CURSOR_CLOSE_ON_COMMIT",
};

// SET options with a value, accepted with the one value the engine has built
// in (clients send them on connect); any other value is refused by name.
constexpr std::pair<std::string_view, std::string_view> kFixedValueOptions[] = {
    {"LANGUAGE", "US_ENGLISH"}, {"DATEFORMAT", "MDY"}, {"DATEFIRST", "7"}, {"TEXTSIZE", "2147483647"}};

// Other SET statements of Transact-SQL, refused by name.
constexpr std::string_view kOtherSetOptions[] = {
    "DATEFORMAT", "DATEFIRST",  "LANGUAGE", "ROWCOUNT",     "TEXTSIZE",  "DEADLOCK_PRIORITY",
    "CONTEXT_INFO", "IDENTITY_INSERT", "STATISTICS", "OFFSETS", "FMTONLY", "NOEXEC", "PARSEONLY", "SHOWPLAN_ALL",
    "SHOWPLAN_TEXT", "SHOWPLAN_XML", "FORCEPLAN", "QUERY_GOVERNOR_COST_LIMIT", "REMOTE_PROC_TRANSACTIONS",
    "NO_BROWSETABLE",
};

bool Contains(const auto& list, const std::string& word) {
  return std::find(std::begin(list), std::end(list), word) != std::end(list);
}

}  // namespace

StmtPtr Parser::ParseStatement() {
  NestGuard guard(*this);
  ++statements_started_;
  const Token& t = Cur();
  if (AtOp("(") || AtWord("SELECT")) return ParseSelectStatement();
  if (t.kind != TokenKind::Word) SyntaxError();
  if (StmtPtr procedural = ParseProceduralStatement()) return procedural;
  if (AtWord("INSERT")) return ParseInsert();
  if (AtWord("UPDATE")) return ParseUpdate();
  if (AtWord("DELETE")) return ParseDelete();
  if (AtWord("TRUNCATE")) return ParseTruncate();
  if (AtWord("CREATE")) return ParseCreate();
  if (AtWord("DROP")) return ParseDrop();
  if (AtWord("IF")) return ParseIf();
  if (AtTransactionStatement()) return ParseTransaction();
  if (AtWord("BULK")) return ParseBulkInsert();
  if (AtWord("BEGIN")) return ParseBlock();
  if (AtWord("SET")) return ParseSet();
  if (AtWord("ALTER") && AtWord("TABLE", 1)) return ParseAlterTable();
  if (AtWord("ALTER") && AtWord("DATABASE", 1) && AtWord("SCOPED", 2)) return ParseScopedConfiguration();
  if (AtWord("WITH")) return ParseSelectStatement();
  const std::string upper = Upper(t);
  if (Contains(kUnsupportedStatements, upper)) NotSupported(upper);
  if (!t.reserved && AtOp(":", 1)) NotSupported("A label");
  SyntaxError();
}

StmtPtr Parser::ParseSelectStatement() {
  auto stmt = std::make_unique<ast::SelectStmt>();
  stmt->line = Line();
  stmt->query = AtWord("WITH") ? ParseWithQuery() : ParseQueryExpression();
  return stmt;
}

StmtPtr Parser::ParseIf() {
  auto stmt = std::make_unique<ast::IfStmt>();
  stmt->line = Line();
  ExpectWord("IF");
  stmt->condition = ParseCondition();
  if (AtEnd()) SyntaxError();
  stmt->then_stmt = ParseStatement();
  if (AtOp(";") && AtWord("ELSE", 1)) Advance();
  if (AcceptWord("ELSE")) {
    if (AtEnd()) SyntaxError();
    stmt->else_stmt = ParseStatement();
  }
  return stmt;
}

StmtPtr Parser::ParseBlock() {
  auto block = std::make_unique<ast::BlockStmt>();
  block->line = Line();
  ExpectWord("BEGIN");
  if (AtWord("CATCH")) SyntaxError();
  if (AtWord("DISTRIBUTED")) NotSupported("BEGIN DISTRIBUTED TRANSACTION");
  if (AtWord("DIALOG") || AtWord("CONVERSATION")) NotSupported("BEGIN DIALOG");
  while (true) {
    if (AcceptOp(";")) continue;
    if (AtEnd()) SyntaxError();
    if (AtWord("END")) break;
    block->statements.push_back(ParseStatement());
  }
  // SQL Server rejects an empty BEGIN ... END at its END.
  if (block->statements.empty()) SyntaxError();
  Advance();
  return block;
}

StmtPtr Parser::ParseSet() {
  const int line = Line();
  ExpectWord("SET");
  if (Cur().kind == TokenKind::Variable) return ParseSetVariable(line);
  if (AcceptWord("TRANSACTION")) {
    auto stmt = std::make_unique<ast::SetIsolationStmt>();
    stmt->line = line;
    ExpectWord("ISOLATION");
    ExpectWord("LEVEL");
    if (AcceptWord("READ")) {
      if (AcceptWord("UNCOMMITTED")) {
        stmt->level = "READ UNCOMMITTED";
      } else {
        ExpectWord("COMMITTED");
        stmt->level = "READ COMMITTED";
      }
    } else if (AcceptWord("REPEATABLE")) {
      ExpectWord("READ");
      stmt->level = "REPEATABLE READ";
    } else if (AcceptWord("SERIALIZABLE")) {
      stmt->level = "SERIALIZABLE";
    } else {
      ExpectWord("SNAPSHOT");
      stmt->level = "SNAPSHOT";
    }
    return stmt;
  }
  if (Cur().kind != TokenKind::Word) SyntaxError();
  if (AtWord("LOCK_TIMEOUT")) return ParseLockTimeout(line);
  const std::string option = Upper(Cur());
  if (std::any_of(std::begin(kFixedValueOptions), std::end(kFixedValueOptions),
                  [&](const auto& fixed) { return fixed.first == option; }) &&
      (Ahead(1).kind == TokenKind::Word || Ahead(1).kind == TokenKind::Integer ||
       Ahead(1).kind == TokenKind::String)) {
    Advance();
    const std::string written = Value(Cur());
    const std::string value = AsciiUpper(written);
    if (std::find(std::begin(kFixedValueOptions), std::end(kFixedValueOptions),
                  std::pair<std::string_view, std::string_view>(option, value)) == std::end(kFixedValueOptions)) {
      NotSupported("SET " + option + " " + written);
    }
    Advance();
    auto stmt = std::make_unique<ast::SetOptionStmt>();
    stmt->line = line;
    stmt->option = option;
    return stmt;
  }
  if (Contains(kOtherSetOptions, option)) NotSupported("SET " + option);
  if (!Contains(kOnOffOptions, option)) SyntaxError();
  Advance();
  if (AtOp(",")) NotSupported("SET with several options");
  auto stmt = std::make_unique<ast::SetOptionStmt>();
  stmt->line = line;
  stmt->option = option;
  if (AcceptWord("OFF")) {
    stmt->on = false;
  } else {
    ExpectWord("ON");
  }
  return stmt;
}

StmtPtr Parser::ParseInsert() {
  auto stmt = std::make_unique<ast::InsertStmt>();
  stmt->line = Line();
  ExpectWord("INSERT");
  if (AtWord("TOP")) NotSupported("INSERT TOP");
  AcceptWord("INTO");
  stmt->table = ParseMultipartName();
  SkipTableHintsAfterTarget();
  if (AtOp("(") && !AtQueryStart()) {
    Advance();
    do {
      stmt->columns.push_back(ExpectName());
    } while (AcceptOp(","));
    ExpectOp(")");
  }
  if (AtWord("OUTPUT")) NotSupported("The OUTPUT clause");
  if (AtWord("EXEC") || AtWord("EXECUTE")) NotSupported("INSERT ... EXECUTE");
  if (AtWord("VALUES")) {
    ParseValuesRows(*stmt);
  } else if (AcceptWord("DEFAULT")) {
    ExpectWord("VALUES");
    stmt->default_values = true;
  } else if (AtQueryStart()) {
    stmt->query = ParseQueryExpression();
  } else {
    SyntaxError();
  }
  return stmt;
}

void Parser::ParseValuesRows(ast::InsertStmt& insert) {
  constexpr size_t kMaxRows = 1000;
  ExpectWord("VALUES");
  do {
    ExpectOp("(");
    std::vector<ast::ExprPtr> row;
    do {
      if (AcceptWord("DEFAULT")) {
        row.emplace_back();
      } else if (AtLoneLiteral()) {
        // Most values of a script are a literal alone, which needs no descent through the expression grammar.
        row.push_back(ParseLiteral());
      } else {
        row.push_back(ParseScalar());
      }
    } while (AcceptOp(","));
    ExpectOp(")");
    if (!insert.values.empty() && row.size() != insert.values.front().size()) {
      Throw(ErrorCode::kValuesRowLengthMismatch, {}, insert.line);
    }
    insert.values.push_back(std::move(row));
    if (insert.values.size() > kMaxRows) Throw(ErrorCode::kTooManyValuesRows, {}, insert.line);
  } while (AcceptOp(","));
}

bool Parser::AtLoneLiteral() const {
  const Token& t = Cur();
  const bool literal = t.kind == TokenKind::Integer || t.kind == TokenKind::Decimal || t.kind == TokenKind::Float ||
                       t.kind == TokenKind::String || t.kind == TokenKind::NString || IsWord(t, "NULL");
  return literal && (AtOp(",", 1) || AtOp(")", 1));
}

StmtPtr Parser::ParseUpdate() {
  auto stmt = std::make_unique<ast::UpdateStmt>();
  stmt->line = Line();
  ExpectWord("UPDATE");
  if (AtWord("TOP")) NotSupported("UPDATE TOP");
  stmt->target = ParseMultipartName();
  SkipTableHintsAfterTarget();
  ExpectWord("SET");
  do {
    if (Cur().kind == TokenKind::Variable) NotSupported("Assigning a variable in UPDATE");
    ast::UpdateStmt::Assignment assignment;
    assignment.column = ParseMultipartName();
    ExpectOp("=");
    if (AtWord("DEFAULT")) NotSupported("SET column = DEFAULT");
    assignment.value = ParseScalar();
    stmt->assignments.push_back(std::move(assignment));
  } while (AcceptOp(","));
  ParseFromAndWhere(stmt->from, stmt->where);
  return stmt;
}

StmtPtr Parser::ParseDelete() {
  auto stmt = std::make_unique<ast::DeleteStmt>();
  stmt->line = Line();
  ExpectWord("DELETE");
  if (AtWord("TOP")) NotSupported("DELETE TOP");
  AcceptWord("FROM");
  stmt->target = ParseMultipartName();
  SkipTableHintsAfterTarget();
  ParseFromAndWhere(stmt->from, stmt->where);
  return stmt;
}

StmtPtr Parser::ParseTruncate() {
  auto stmt = std::make_unique<ast::TruncateStmt>();
  stmt->line = Line();
  ExpectWord("TRUNCATE");
  ExpectWord("TABLE");
  stmt->table = ParseMultipartName();
  return stmt;
}

void Parser::ParseFromAndWhere(ast::TableRefPtr& from, ast::ExprPtr& where) {
  if (AtWord("OUTPUT")) NotSupported("The OUTPUT clause");
  if (AcceptWord("FROM")) from = ParseFromClause();
  if (AcceptWord("WHERE")) {
    if (AtWord("CURRENT") && AtWord("OF", 1)) NotSupported("WHERE CURRENT OF");
    where = ParseCondition();
  }
  if (AtWord("OPTION")) NotSupported("The OPTION clause");
}

void Parser::SkipTableHintsAfterTarget() {
  if (AtWord("WITH") && AtOp("(", 1)) {
    Advance();
    SkipParenthesized();
  }
}

}  // namespace orv::engine::parse
