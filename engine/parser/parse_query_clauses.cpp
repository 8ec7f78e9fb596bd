// The clauses around a query expression: WITH and its common table
// expressions, OFFSET ... FETCH after ORDER BY, and the statement's OPTION
// (MAXRECURSION n); also a VALUES table constructor in FROM.
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using ast::QueryExpr;

std::unique_ptr<QueryExpr> Parser::ParseWithQuery() {
  ExpectWord("WITH");
  std::vector<ast::CommonTableExpr> ctes;
  int height = 0;
  do {
    ast::CommonTableExpr cte;
    cte.line = Line();
    cte.name = ExpectName();
    if (AtOp("(")) cte.columns = ParseNameList();
    ExpectWord("AS");
    ExpectOp("(");
    cte.query = ParseQueryExpression();
    Note(height);
    ExpectOp(")");
    ctes.push_back(std::move(cte));
  } while (AcceptOp(","));
  if (AtWord("INSERT") || AtWord("UPDATE") || AtWord("DELETE") || AtWord("MERGE")) {
    NotSupported("A common table expression before " + Upper(Cur()));
  }
  if (!AtQueryStart()) SyntaxError();
  auto query = ParseQueryExpression();
  Note(height);
  query->ctes = std::move(ctes);
  SetHeight(height);
  return query;
}

// OFFSET n ROW[S] [FETCH FIRST|NEXT m ROW[S] ONLY], after ORDER BY.
void Parser::ParseOffsetFetch(QueryExpr& query) {
  ExpectWord("OFFSET");
  if (query.order_by.empty()) SyntaxError();
  query.offset = ParseScalar();
  if (!AcceptWord("ROWS")) ExpectWord("ROW");
  if (!AcceptWord("FETCH")) return;
  if (!AcceptWord("NEXT")) ExpectWord("FIRST");
  query.fetch = ParseScalar();
  if (!AcceptWord("ROWS")) ExpectWord("ROW");
  ExpectWord("ONLY");
}

// OPTION (MAXRECURSION n), the only query hint that changes a result, and
// OPTION (MAXDOP n), how many threads the query may use.
void Parser::ParseQueryOptions(QueryExpr& query) {
  ExpectWord("OPTION");
  ExpectOp("(");
  do {
    const bool recursion = AtWord("MAXRECURSION");
    if (!recursion && !AtWord("MAXDOP")) NotSupported("The query hint " + Upper(Cur()));
    Advance();
    if (Cur().kind != TokenKind::Integer) SyntaxError();
    const std::string digits = Value(Cur());
    const bool huge = digits.size() > 9 || std::stoll(digits) > 32767;
    if (recursion) {
      if (huge) Throw(ErrorCode::kMaxRecursionTooLarge, {digits, "32767"}, Line());
      query.max_recursion = std::stoll(digits);
    } else {
      // More threads than the machine has cores run as many as it has.
      query.max_dop = huge ? 32767 : static_cast<int>(std::stoll(digits));
    }
    Advance();
  } while (AcceptOp(","));
  ExpectOp(")");
}

ast::TableRefPtr Parser::ParseValuesTable() {
  auto values = std::make_unique<ast::ValuesTableRef>();
  values->line = Line();
  ExpectOp("(");
  ExpectWord("VALUES");
  int height = 0;
  do {
    ExpectOp("(");
    std::vector<ast::ExprPtr> row;
    do {
      row.push_back(ParseScalar());
      Note(height);
    } while (AcceptOp(","));
    ExpectOp(")");
    if (!values->rows.empty() && row.size() != values->rows.front().size()) {
      Throw(ErrorCode::kValuesRowLengthMismatch, {}, values->line);
    }
    values->rows.push_back(std::move(row));
  } while (AcceptOp(","));
  ParseDerivedAlias(values->alias, values->column_aliases);
  SetHeight(height);
  return values;
}

}  // namespace orv::engine::parse
