// The OVER clause of a window function: PARTITION BY, ORDER BY and a ROWS or
// RANGE frame.
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using Bound = ast::WindowFrameBound;

std::unique_ptr<ast::WindowSpec> Parser::ParseWindowSpec() {
  ExpectWord("OVER");
  ExpectOp("(");
  auto spec = std::make_unique<ast::WindowSpec>();
  int height = height_;
  if (AcceptWord("PARTITION")) {
    ExpectWord("BY");
    do {
      spec->partition_by.push_back(ParseScalar());
      Note(height);
    } while (AcceptOp(","));
  }
  if (AtWord("ORDER")) {
    spec->order_by = ParseOrderBy();
    Note(height);
  }
  if (AtWord("ROWS") || AtWord("RANGE")) {
    spec->has_frame = true;
    spec->rows = AtWord("ROWS");
    Advance();
    if (AcceptWord("BETWEEN")) {
      spec->start = ParseFrameBound();
      ExpectWord("AND");
      spec->end = ParseFrameBound();
    } else {
      spec->start = ParseFrameBound();
      spec->end.kind = Bound::Kind::CurrentRow;
    }
  }
  ExpectOp(")");
  height_ = height;
  return spec;
}

Bound Parser::ParseFrameBound() {
  Bound bound;
  if (AcceptWord("UNBOUNDED")) {
    if (AcceptWord("PRECEDING")) {
      bound.kind = Bound::Kind::UnboundedPreceding;
    } else {
      ExpectWord("FOLLOWING");
      bound.kind = Bound::Kind::UnboundedFollowing;
    }
    return bound;
  }
  if (AcceptWord("CURRENT")) {
    ExpectWord("ROW");
    bound.kind = Bound::Kind::CurrentRow;
    return bound;
  }
  if (Cur().kind != TokenKind::Integer) SyntaxError();
  bound.offset = std::stoll(Value(Cur()));
  Advance();
  if (AcceptWord("PRECEDING")) {
    bound.kind = Bound::Kind::Preceding;
  } else {
    ExpectWord("FOLLOWING");
    bound.kind = Bound::Kind::Following;
  }
  return bound;
}

}  // namespace orv::engine::parse
