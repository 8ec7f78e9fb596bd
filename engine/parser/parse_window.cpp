// The OVER clause of a window function: PARTITION BY, ORDER BY and a ROWS or
// RANGE frame.
#include <charconv>

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
    bound.kind = ParsePrecedingOrFollowing() ? Bound::Kind::UnboundedPreceding : Bound::Kind::UnboundedFollowing;
    return bound;
  }
  if (AcceptWord("CURRENT")) {
    ExpectWord("ROW");
    bound.kind = Bound::Kind::CurrentRow;
    return bound;
  }
  if (Cur().kind != TokenKind::Integer) SyntaxError();
  const std::string digits = Value(Cur());
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), bound.offset);
  if (error != std::errc() || end != digits.data() + digits.size()) SyntaxError();
  Advance();
  bound.kind = ParsePrecedingOrFollowing() ? Bound::Kind::Preceding : Bound::Kind::Following;
  return bound;
}

// true for PRECEDING, false for FOLLOWING.
bool Parser::ParsePrecedingOrFollowing() {
  if (AcceptWord("PRECEDING")) return true;
  ExpectWord("FOLLOWING");
  return false;
}

}  // namespace orv::engine::parse
