// The FROM clause: named tables with aliases, derived tables, parenthesised
// joins, comma lists (cross joins) and INNER/LEFT/RIGHT/FULL/CROSS joins. Table
// hints such as WITH (NOLOCK) are read and dropped: the engine takes no locks.
#include <algorithm>

#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using ast::TableRefPtr;

namespace {

constexpr std::string_view kTableHints[] = {
    "NOLOCK",   "READUNCOMMITTED", "READCOMMITTED", "READCOMMITTEDLOCK", "REPEATABLEREAD", "SERIALIZABLE",
    "HOLDLOCK", "UPDLOCK",         "ROWLOCK",       "PAGLOCK",           "TABLOCK",        "TABLOCKX",
    "XLOCK",    "NOWAIT",          "READPAST",      "INDEX",             "NOEXPAND",       "FORCESEEK",
    "FORCESCAN", "SNAPSHOT",       "KEEPIDENTITY",  "KEEPDEFAULTS",      "IGNORE_CONSTRAINTS",
};

// Join hints change the plan, not the result.
constexpr std::string_view kJoinHints[] = {"LOOP", "HASH", "MERGE", "REMOTE"};

TableRefPtr MakeJoin(ast::JoinType type, TableRefPtr left, TableRefPtr right, ast::ExprPtr on) {
  auto join = std::make_unique<ast::JoinTableRef>();
  join->line = left->line;
  join->type = type;
  join->left = std::move(left);
  join->right = std::move(right);
  join->on = std::move(on);
  return join;
}

}  // namespace

TableRefPtr Parser::ParseFromClause() {
  TableRefPtr left = ParseTableSource();
  int height = height_;
  while (AcceptOp(",")) {
    TableRefPtr right = ParseTableSource();
    Note(height);
    left = MakeJoin(ast::JoinType::Cross, std::move(left), std::move(right), nullptr);
    SetHeight(height);
    height = height_;
  }
  height_ = height;
  return left;
}

TableRefPtr Parser::ParseTableSource() {
  TableRefPtr left = ParseTablePrimary();
  while (AtJoin()) left = ParseJoin(std::move(left), height_);
  return left;
}

bool Parser::AtJoin() const {
  return AtWord("JOIN") || AtWord("INNER") || AtWord("LEFT") || AtWord("RIGHT") || AtWord("FULL") ||
         AtWord("CROSS") || (AtWord("OUTER") && AtWord("APPLY", 1));
}

// The right side of a join is a table source of its own, so "a JOIN b JOIN c
// ON x ON y" nests; a CROSS JOIN takes a single table.
TableRefPtr Parser::ParseJoin(TableRefPtr left, int left_height) {
  int height = left_height;
  if ((AtWord("CROSS") || AtWord("OUTER")) && AtWord("APPLY", 1)) return ParseApply(std::move(left), left_height);
  if (AcceptWord("CROSS")) {
    ExpectWord("JOIN");
    TableRefPtr right = ParseTablePrimary();
    Note(height);
    TableRefPtr join = MakeJoin(ast::JoinType::Cross, std::move(left), std::move(right), nullptr);
    SetHeight(height);
    return join;
  }
  ast::JoinType type = ast::JoinType::Inner;
  if (AcceptWord("LEFT")) {
    type = ast::JoinType::Left;
  } else if (AcceptWord("RIGHT")) {
    type = ast::JoinType::Right;
  } else if (AcceptWord("FULL")) {
    type = ast::JoinType::Full;
  } else {
    AcceptWord("INNER");
  }
  if (type != ast::JoinType::Inner) AcceptWord("OUTER");
  for (std::string_view hint : kJoinHints) AcceptWord(hint);
  ExpectWord("JOIN");
  TableRefPtr right = ParseTableSource();
  Note(height);
  ExpectWord("ON");
  ast::ExprPtr on = ParseCondition();
  Note(height);
  TableRefPtr join = MakeJoin(type, std::move(left), std::move(right), std::move(on));
  SetHeight(height);
  return join;
}

// CROSS APPLY / OUTER APPLY: the right side is one table source, which may read the left's columns.
TableRefPtr Parser::ParseApply(TableRefPtr left, int left_height) {
  int height = left_height;
  const bool outer = AcceptWord("OUTER");
  if (!outer) ExpectWord("CROSS");
  ExpectWord("APPLY");
  TableRefPtr right = ParseTablePrimary();
  Note(height);
  TableRefPtr join = MakeJoin(outer ? ast::JoinType::Left : ast::JoinType::Cross, std::move(left), std::move(right),
                              nullptr);
  static_cast<ast::JoinTableRef&>(*join).apply = true;
  SetHeight(height);
  return join;
}

TableRefPtr Parser::ParseTablePrimary() {
  NestGuard guard(*this);
  TableRefPtr table;
  if (AtOp("(")) {
    if (AtWord("VALUES", 1)) {
      table = ParseValuesTable();
    } else if (AtQueryStart()) {
      table = ParseDerivedTable();
    } else {
      Advance();
      table = ParseTableSource();
      const int height = height_;
      ExpectOp(")");
      height_ = height;
    }
  } else if (IsName(Cur()) || Cur().kind == TokenKind::Variable) {
    table = ParseNamedTable();
  } else {
    SyntaxError();
  }
  if (AtWord("PIVOT") || AtWord("UNPIVOT")) NotSupported(Upper(Cur()));
  if (AtWord("TABLESAMPLE")) NotSupported("TABLESAMPLE");
  return table;
}

TableRefPtr Parser::ParseDerivedTable() {
  auto derived = std::make_unique<ast::DerivedTableRef>();
  derived->line = Line();
  ExpectOp("(");
  derived->query = ParseQueryExpression();
  const int height = height_;
  ParseDerivedAlias(derived->alias, derived->column_aliases);
  SetHeight(height);
  return derived;
}

// ") AS alias [(a, b)]" closing a derived table or a VALUES table.
void Parser::ParseDerivedAlias(std::string& alias, std::vector<std::string>& column_aliases) {
  const size_t close = pos_;
  ExpectOp(")");
  // SQL Server blames the closing parenthesis when the alias is missing.
  if (!AtWord("AS") && !IsName(Cur())) SyntaxErrorAt(close);
  alias = ParseOptionalAlias();
  if (AtOp("(")) column_aliases = ParseNameList();
}

std::vector<std::string> Parser::ParseNameList() {
  std::vector<std::string> names;
  ExpectOp("(");
  do {
    names.push_back(ExpectName());
  } while (AcceptOp(","));
  ExpectOp(")");
  return names;
}

TableRefPtr Parser::ParseNamedTable() {
  auto named = std::make_unique<ast::NamedTableRef>();
  named->line = Line();
  named->name = ParseMultipartName();
  if (AtOp("(")) {
    if (!AtHintList()) NotSupported("A table-valued function");
    SkipParenthesized();
  }
  named->alias = ParseOptionalAlias();
  if (AtHintList()) SkipParenthesized();
  if (AtWord("WITH") && AtOp("(", 1)) {
    Advance();
    SkipParenthesized();
  }
  height_ = 1;
  return named;
}

std::string Parser::ParseOptionalAlias() {
  if (AcceptWord("AS")) return ExpectName();
  if (!IsName(Cur())) return {};
  std::string alias = Value(Cur());
  Advance();
  return alias;
}

bool Parser::AtHintList() const {
  if (!AtOp("(")) return false;
  return std::any_of(std::begin(kTableHints), std::end(kTableHints),
                     [this](std::string_view hint) { return AtWord(hint, 1); });
}

}  // namespace orv::engine::parse
