// Data definition: CREATE TABLE (column clauses in any order, table-level
// PRIMARY KEY, ON [PRIMARY]), CREATE VIEW (kept with its SELECT text), CREATE
// INDEX, DROP TABLE/VIEW, and the type names of columns and CAST/CONVERT.
#include <algorithm>
#include <climits>
#include <utility>

#include "engine/parser/keywords.h"
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using ast::StmtPtr;

StmtPtr Parser::ParseCreate() {
  const int line = Line();
  ExpectWord("CREATE");
  StmtPtr stmt;
  if (AtWord("TABLE")) {
    stmt = ParseCreateTable();
  } else if (AtWord("VIEW")) {
    // CREATE VIEW must open its batch, and its SELECT runs to the end of it.
    if (statements_started_ != 1 || depth_ != 1) Throw(ErrorCode::kCreateViewNotFirst, {}, line);
    stmt = ParseCreateView();
  } else if (AtWord("UNIQUE") || AtWord("CLUSTERED") || AtWord("NONCLUSTERED") || AtWord("INDEX")) {
    stmt = ParseCreateIndex();
  } else {
    if (AtWord("OR") && AtWord("ALTER", 1)) NotSupported("CREATE OR ALTER");
    if (Cur().kind == TokenKind::Word) NotSupported("CREATE " + Upper(Cur()));
    SyntaxError();
  }
  stmt->line = line;
  return stmt;
}

StmtPtr Parser::ParseCreateTable() {
  auto stmt = std::make_unique<ast::CreateTableStmt>();
  ExpectWord("TABLE");
  stmt->table = ParseMultipartName();
  ExpectOp("(");
  // SQL Server tolerates a comma before the closing parenthesis.
  do {
    if (AtOp(")") && !stmt->columns.empty()) break;
    if (AtWord("CONSTRAINT") || AtWord("PRIMARY") || AtWord("UNIQUE") || AtWord("CHECK") || AtWord("FOREIGN")) {
      ParseTableConstraint(*stmt);
    } else {
      ParseColumnDef(*stmt);
    }
  } while (AcceptOp(","));
  ExpectOp(")");
  if (AcceptWord("ON")) SkipFileGroupName();
  if (AcceptWord("TEXTIMAGE_ON")) SkipFileGroupName();
  if (AtWord("WITH") && AtOp("(", 1)) NotSupported("Table options (WITH)");
  return stmt;
}

// ON [PRIMARY] and its kin: where SQL Server stores a table; nothing here.
void Parser::SkipFileGroupName() {
  if (!IsName(Cur()) && !AtWord("PRIMARY") && Cur().kind != TokenKind::String) SyntaxError();
  Advance();
}

void Parser::ParseColumnDef(ast::CreateTableStmt& table) {
  ast::ColumnDef column;
  column.name = ExpectName();
  std::string constraint;  // the name a CONSTRAINT clause gives the clause after it
  if (AtWord("AS")) NotSupported("A computed column");
  column.type = ParseTypeName();
  while (true) {
    if (AcceptWord("COLLATE")) {
      column.collation = ExpectName();
    } else if (AcceptWord("NULL")) {
      column.nullable = 1;
    } else if (AtWord("NOT") && AtWord("NULL", 1)) {
      Advance();
      Advance();
      column.nullable = 0;
    } else if (AcceptWord("CONSTRAINT")) {
      constraint = ExpectName();
      if (!AtWord("DEFAULT") && !AtWord("PRIMARY") && !AtWord("UNIQUE") && !AtWord("CHECK") &&
          !AtWord("REFERENCES") && !AtWord("FOREIGN")) {
        SyntaxError();
      }
    } else if (AcceptWord("DEFAULT")) {
      const size_t first = pos_;
      column.default_value = ParseScalar();
      column.default_text = std::string(SourceText(first));
    } else if (AcceptWord("IDENTITY")) {
      column.identity = true;
      if (AcceptOp("(")) {
        column.identity_seed = ParseSignedInteger();
        ExpectOp(",");
        column.identity_increment = ParseSignedInteger();
        ExpectOp(")");
      }
      if (AtWord("NOT") && AtWord("FOR", 1)) NotSupported("NOT FOR REPLICATION");
    } else if (AtWord("PRIMARY") || AtWord("UNIQUE")) {
      ast::KeyDef key{std::exchange(constraint, {}), AtWord("PRIMARY"), {column.name}};
      if (key.primary) {
        CheckSinglePrimaryKey(table, Line());
        Advance();
        ExpectWord("KEY");
      } else {
        Advance();
      }
      if (!AcceptWord("CLUSTERED")) AcceptWord("NONCLUSTERED");
      table.keys.push_back(std::move(key));
    } else if (AtWord("CHECK")) {
      NotSupported("A CHECK constraint");
    } else if (AtWord("REFERENCES") || AtWord("FOREIGN")) {
      NotSupported("A FOREIGN KEY constraint");
    } else {
      break;
    }
  }
  table.columns.push_back(std::move(column));
}

// [CONSTRAINT name] PRIMARY KEY [CLUSTERED] (cols) | UNIQUE (cols)
void Parser::ParseTableConstraint(ast::CreateTableStmt& table) {
  const int line = Line();
  ast::KeyDef key;
  if (AcceptWord("CONSTRAINT")) key.name = ExpectName();
  if (AtWord("CHECK")) NotSupported("A CHECK constraint");
  if (AtWord("FOREIGN")) NotSupported("A FOREIGN KEY constraint");
  if (!AcceptWord("UNIQUE")) {
    CheckSinglePrimaryKey(table, line);
    ExpectWord("PRIMARY");
    ExpectWord("KEY");
    key.primary = true;
  }
  if (!AcceptWord("CLUSTERED")) AcceptWord("NONCLUSTERED");
  key.columns = ParseIndexColumns();
  table.keys.push_back(std::move(key));
  if (AtWord("WITH") && AtOp("(", 1)) {
    Advance();
    SkipParenthesized();
  }
  if (AcceptWord("ON")) SkipFileGroupName();
}

// A second primary key would silently replace the first; SQL Server refuses it.
void Parser::CheckSinglePrimaryKey(const ast::CreateTableStmt& table, int line) const {
  const auto primary = [](const ast::KeyDef& key) { return key.primary; };
  if (std::any_of(table.keys.begin(), table.keys.end(), primary)) Throw(ErrorCode::kMultiplePrimaryKeys, {table.table.back()}, line);
}

// (col [ASC|DESC], ...)
std::vector<std::string> Parser::ParseIndexColumns() {
  std::vector<std::string> columns;
  ExpectOp("(");
  do {
    columns.push_back(ExpectName());
    if (!AcceptWord("ASC")) AcceptWord("DESC");
  } while (AcceptOp(","));
  ExpectOp(")");
  return columns;
}

TypeName Parser::ParseTypeName() {
  TypeName type;
  if (!IsName(Cur())) SyntaxError();
  type.name = Upper(Cur());
  Advance();
  if (!AcceptOp("(")) return type;
  auto read_size = [this]() {
    if (Cur().kind != TokenKind::Integer) SyntaxError();
    const std::string digits = Value(Cur());
    Advance();
    // Oversized lengths stay oversized so that the binder rejects them.
    long long n = 0;
    for (char c : digits) n = std::min<long long>(n * 10 + (c - '0'), INT_MAX);
    return static_cast<int>(n);
  };
  if (AcceptWord("MAX")) {
    type.max = true;
  } else {
    type.arg1 = read_size();
    if (AcceptOp(",")) type.arg2 = read_size();
  }
  ExpectOp(")");
  return type;
}

long long Parser::ParseSignedInteger() {
  bool negative = false;
  if (AtOp("-") || AtOp("+")) {
    negative = AtOp("-");
    Advance();
  }
  if (Cur().kind != TokenKind::Integer) SyntaxError();
  const std::string digits = Value(Cur());
  unsigned long long n = 0;
  for (char c : digits) {
    n = n * 10 + static_cast<unsigned>(c - '0');
    if (n > static_cast<unsigned long long>(LLONG_MAX)) SyntaxError();
  }
  Advance();
  return negative ? -static_cast<long long>(n) : static_cast<long long>(n);
}

StmtPtr Parser::ParseCreateView() {
  auto stmt = std::make_unique<ast::CreateViewStmt>();
  ExpectWord("VIEW");
  stmt->name = ParseMultipartName();
  if (AcceptOp("(")) {
    do {
      stmt->columns.push_back(ExpectName());
    } while (AcceptOp(","));
    ExpectOp(")");
  }
  if (AtWord("WITH")) NotSupported("View options (WITH)");
  ExpectWord("AS");
  const size_t first = pos_;
  stmt->query = ParseQueryExpression();
  if (AtWord("WITH") && AtWord("CHECK", 1)) NotSupported("WITH CHECK OPTION");
  const uint32_t begin = tokens_[first].begin;
  const uint32_t end = tokens_[pos_ - 1].end;
  stmt->query_text = std::string(text_.substr(begin, end - begin));
  while (AcceptOp(";")) {
  }
  if (!AtEnd()) SyntaxError();
  return stmt;
}

StmtPtr Parser::ParseCreateIndex() {
  auto stmt = std::make_unique<ast::CreateIndexStmt>();
  stmt->unique = AcceptWord("UNIQUE");
  if (!AcceptWord("CLUSTERED")) AcceptWord("NONCLUSTERED");
  ExpectWord("INDEX");
  stmt->name = ExpectName();
  ExpectWord("ON");
  stmt->table = ParseMultipartName();
  stmt->columns = ParseIndexColumns();
  if (AcceptWord("INCLUDE")) ParseIndexColumns();
  if (AtWord("WHERE")) NotSupported("A filtered index");
  if (AtWord("WITH") && AtOp("(", 1)) {
    Advance();
    SkipParenthesized();
  }
  if (AcceptWord("ON")) SkipFileGroupName();
  return stmt;
}

StmtPtr Parser::ParseDrop() {
  const int line = Line();
  ExpectWord("DROP");
  ast::StmtKind kind = ast::StmtKind::DropTable;
  if (AcceptWord("VIEW")) {
    kind = ast::StmtKind::DropView;
  } else if (!AcceptWord("TABLE")) {
    if (Cur().kind == TokenKind::Word) NotSupported("DROP " + Upper(Cur()));
    SyntaxError();
  }
  auto stmt = std::make_unique<ast::DropTableStmt>(kind);
  stmt->line = line;
  if (AtWord("IF") && AtWord("EXISTS", 1)) {
    Advance();
    Advance();
    stmt->if_exists = true;
  }
  do {
    stmt->names.push_back(ParseMultipartName());
  } while (AcceptOp(","));
  return stmt;
}

}  // namespace orv::engine::parse
