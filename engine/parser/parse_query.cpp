// Query expressions: SELECT cores combined by UNION [ALL] and EXCEPT (left to
// right) and INTERSECT (binding tighter), parenthesised queries, and the ORDER
// BY of the whole expression. The FROM clause is in parse_from.cpp.
#include <algorithm>

#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using ast::QueryExpr;

// A SELECT, possibly behind opening parentheses. The look-ahead is bounded so
// that a long run of '(' costs no more than its nesting limit allows.
bool Parser::AtQueryStart() const {
  constexpr size_t kMaxLookAhead = 64;
  size_t ahead = 0;
  while (AtOp("(", ahead) && ahead < kMaxLookAhead) ++ahead;
  return AtWord("SELECT", ahead);
}

bool Parser::AtQueryContent() const {
  if (!AtQueryStart()) return false;
  if (!AtOp("(")) return true;
  // What follows the first parenthesised group decides: the end of the
  // enclosing group or a clause that continues a query, or else an operator
  // of an expression that merely begins with a subquery.
  size_t ahead = 0;
  int depth = 0;
  do {
    if (Ahead(ahead).kind == TokenKind::End) return false;
    if (AtOp("(", ahead)) ++depth;
    if (AtOp(")", ahead)) --depth;
    ++ahead;
  } while (depth > 0);
  for (std::string_view word : {"UNION", "EXCEPT", "INTERSECT", "ORDER", "OFFSET", "OPTION"}) {
    if (AtWord(word, ahead)) return true;
  }
  return AtOp(")", ahead);
}

std::unique_ptr<QueryExpr> Parser::ParseQueryExpression() {
  NestGuard guard(*this);
  auto query = ParseQueryUnion();
  const int height = height_;
  if (AtWord("ORDER")) {
    // A parenthesised query already ordered cannot take a second ORDER BY.
    if (!query->order_by.empty()) SyntaxError();
    query->order_by = ParseOrderBy();
  }
  if (AtWord("OFFSET")) ParseOffsetFetch(*query);
  if (AtWord("FOR")) NotSupported("The FOR clause");
  if (AtWord("OPTION")) ParseQueryOptions(*query);
  if (AtWord("COMPUTE")) NotSupported("COMPUTE");
  // ORDER BY expressions are shallow next to the query; keep the query's height.
  height_ = std::max(height, height_);
  return query;
}

std::unique_ptr<QueryExpr> Parser::Combine(std::unique_ptr<QueryExpr> left, ast::SetOp op,
                                           std::unique_ptr<QueryExpr> right, int left_height) {
  Note(left_height);
  auto node = std::make_unique<QueryExpr>();
  node->line = left->line;
  node->op = op;
  node->left = std::move(left);
  node->right = std::move(right);
  SetHeight(left_height);
  return node;
}

std::unique_ptr<QueryExpr> Parser::ParseQueryUnion() {
  auto left = ParseQueryTerm();
  while (AtWord("UNION") || AtWord("EXCEPT")) {
    const int height = height_;
    ast::SetOp op = ast::SetOp::Except;
    if (AcceptWord("UNION")) {
      op = AcceptWord("ALL") ? ast::SetOp::UnionAll : ast::SetOp::Union;
    } else {
      Advance();
    }
    auto right = ParseQueryTerm();
    left = Combine(std::move(left), op, std::move(right), height);
  }
  return left;
}

std::unique_ptr<QueryExpr> Parser::ParseQueryTerm() {
  auto left = ParseQueryPrimary();
  while (AtWord("INTERSECT")) {
    const int height = height_;
    Advance();
    auto right = ParseQueryPrimary();
    left = Combine(std::move(left), ast::SetOp::Intersect, std::move(right), height);
  }
  return left;
}

std::unique_ptr<QueryExpr> Parser::ParseQueryPrimary() {
  if (AcceptOp("(")) {
    auto inner = ParseQueryExpression();
    const int height = height_;
    ExpectOp(")");
    height_ = height;
    return inner;
  }
  auto query = std::make_unique<QueryExpr>();
  query->line = Line();
  query->select = ParseSelectCore();
  return query;
}

std::unique_ptr<ast::SelectCore> Parser::ParseSelectCore() {
  auto core = std::make_unique<ast::SelectCore>();
  ExpectWord("SELECT");
  int height = 0;
  if (!AcceptWord("ALL")) core->distinct = AcceptWord("DISTINCT");
  if (AcceptWord("TOP")) {
    if (AtOp("(")) {
      Advance();
      core->top = ParseScalar();
      ExpectOp(")");
    } else {
      const TokenKind kind = Cur().kind;
      if (kind != TokenKind::Integer && kind != TokenKind::Decimal && kind != TokenKind::Float &&
          kind != TokenKind::Variable) {
        SyntaxError();
      }
      core->top = ParsePrimary(false);
    }
    Note(height);
    core->top_percent = AcceptWord("PERCENT");
    if (AtWord("WITH") && AtWord("TIES", 1)) {
      Advance();
      Advance();
      core->top_with_ties = true;
    }
  }
  do {
    core->items.push_back(ParseSelectItem(height));
  } while (AcceptOp(","));
  if (AcceptWord("INTO")) core->into = ParseObjectName();
  if (AcceptWord("FROM")) {
    core->from = ParseFromClause();
    Note(height);
  }
  if (AcceptWord("WHERE")) {
    core->where = ParseCondition();
    Note(height);
  }
  if (AtWord("GROUP")) ParseGroupBy(*core, height);
  if (AcceptWord("HAVING")) {
    core->having = ParseCondition();
    Note(height);
  }
  if (AtWord("WINDOW")) NotSupported("The WINDOW clause");
  SetHeight(height);
  return core;
}

void Parser::ParseGroupBy(ast::SelectCore& core, int& height) {
  ExpectWord("GROUP");
  ExpectWord("BY");
  if (AtWord("ALL")) NotSupported("GROUP BY ALL");
  ParseGroupingSets(core, height);
  if (AtWord("WITH") && core.grouping_sets.empty()) {
    Advance();
    if (AcceptWord("CUBE")) return CubeWholeList(core);
    ExpectWord("ROLLUP");
    core.with_rollup = true;
  }
}

// t.* or a.b.* ahead?
bool Parser::AtQualifiedStar() const {
  size_t ahead = 0;
  while (IsName(Ahead(ahead)) && AtOp(".", ahead + 1)) {
    if (AtOp("*", ahead + 2)) return true;
    ahead += 2;
  }
  return false;
}

ast::SelectItem Parser::ParseSelectItem(int& height) {
  ast::SelectItem item;
  const int line = Line();
  if (AtOp("*") || AtQualifiedStar()) {
    auto star = std::make_unique<ast::StarExpr>();
    star->line = line;
    while (!AtOp("*")) {
      star->qualifier.push_back(Value(Cur()));
      Advance();
      Advance();  // the '.'
    }
    Advance();
    item.expr = std::move(star);
    height = std::max(height, 1);
    return item;
  }
  if (Cur().kind == TokenKind::Variable && AtOp("=", 1)) {
    ParseSelectAssignment(item);
    Note(height);
    return item;
  }
  const bool alias_first = (IsName(Cur()) || Cur().kind == TokenKind::String) && AtOp("=", 1);
  if (alias_first) {
    item.alias = Value(Cur());
    Advance();
    Advance();
    item.expr = ParseScalar();
    Note(height);
    return item;
  }
  item.expr = ParseScalar();
  Note(height);
  if (AcceptWord("AS")) {
    if (!IsName(Cur()) && Cur().kind != TokenKind::String) SyntaxError();
    item.alias = Value(Cur());
    Advance();
  } else if (IsName(Cur()) || Cur().kind == TokenKind::String) {
    item.alias = Value(Cur());
    Advance();
  }
  return item;
}

std::vector<ast::OrderItem> Parser::ParseOrderBy() {
  ExpectWord("ORDER");
  ExpectWord("BY");
  std::vector<ast::OrderItem> items;
  int height = 0;
  do {
    ast::OrderItem item;
    item.expr = ParseScalar();
    Note(height);
    if (!AcceptWord("ASC")) item.descending = AcceptWord("DESC");
    items.push_back(std::move(item));
  } while (AcceptOp(","));
  height_ = height;
  return items;
}

}  // namespace orv::engine::parse
