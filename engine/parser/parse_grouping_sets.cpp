// GROUP BY with ROLLUP(...), CUBE(...), GROUPING SETS(...) and the empty set
// (): each element of the list gives a list of grouping sets, and the query's
// sets are their cross product. Sets hold positions in the core's group_by.
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {
namespace {

using Set = std::vector<size_t>;
using Sets = std::vector<Set>;

Sets CrossProduct(const Sets& left, const Sets& right) {
  Sets out;
  for (const Set& a : left) {
    for (const Set& b : right) {
      Set joined = a;
      joined.insert(joined.end(), b.begin(), b.end());
      out.push_back(std::move(joined));
    }
  }
  return out;
}

// Every subset of the items, the full one first.
Sets CubeOf(const std::vector<Set>& items) {
  const size_t n = items.size();
  Sets sets;
  for (size_t mask = (size_t{1} << n); mask-- > 0;) {
    Set set;
    for (size_t i = 0; i < n; ++i) {
      if (mask & (size_t{1} << (n - 1 - i))) set.insert(set.end(), items[i].begin(), items[i].end());
    }
    sets.push_back(std::move(set));
  }
  return sets;
}

}  // namespace

// GROUP BY a, b WITH CUBE: the cube of the whole list.
void Parser::CubeWholeList(ast::SelectCore& core) const {
  if (core.group_by.size() > 12) NotSupported("CUBE over more than 12 elements");
  std::vector<Set> items;
  for (size_t i = 0; i < core.group_by.size(); ++i) items.push_back(Set{i});
  core.grouping_sets = CubeOf(items);
}

bool Parser::AtGroupingSetsElement() const {
  return ((AtWord("ROLLUP") || AtWord("CUBE")) && AtOp("(", 1)) || (AtWord("GROUPING") && AtWord("SETS", 1)) ||
         (AtOp("(") && AtOp(")", 1));
}

// One column, or a parenthesised list of them (a composite column).
std::vector<size_t> Parser::ParseGroupingColumns(ast::SelectCore& core, int& height) {
  std::vector<size_t> columns;
  if (AtOp("(") && !AtQueryStart()) {
    Advance();
    if (AcceptOp(")")) return columns;
    do {
      columns.push_back(core.group_by.size());
      core.group_by.push_back(ParseScalar());
      Note(height);
    } while (AcceptOp(","));
    ExpectOp(")");
    return columns;
  }
  columns.push_back(core.group_by.size());
  core.group_by.push_back(ParseScalar());
  Note(height);
  return columns;
}

std::vector<std::vector<size_t>> Parser::ParseGroupingElement(ast::SelectCore& core, int& height, bool nested) {
  if (AtWord("ROLLUP") || AtWord("CUBE")) {
    const bool cube = AtWord("CUBE");
    Advance();
    ExpectOp("(");
    std::vector<Set> items;
    do {
      items.push_back(ParseGroupingColumns(core, height));
    } while (AcceptOp(","));
    ExpectOp(")");
    if (cube && items.size() > 12) NotSupported("CUBE over more than 12 elements");
    if (cube) return CubeOf(items);
    Sets sets;
    {
      for (size_t width = items.size() + 1; width-- > 0;) {
        Set set;
        for (size_t i = 0; i < width; ++i) set.insert(set.end(), items[i].begin(), items[i].end());
        sets.push_back(std::move(set));
      }
    }
    return sets;
  }
  if (AtWord("GROUPING") && AtWord("SETS", 1)) {
    if (nested) SyntaxError();
    Advance();
    Advance();
    ExpectOp("(");
    Sets sets;
    do {
      Sets element = AtGroupingSetsElement() && !AtOp("(") ? ParseGroupingElement(core, height, true)
                                                             : Sets{ParseGroupingColumns(core, height)};
      sets.insert(sets.end(), element.begin(), element.end());
    } while (AcceptOp(","));
    ExpectOp(")");
    return sets;
  }
  if (AtOp("(") && AtOp(")", 1)) {
    Advance();
    Advance();
    return Sets{Set{}};
  }
  // A plain GROUP BY item is an expression, parenthesised or not.
  core.group_by.push_back(ParseScalar());
  Note(height);
  return Sets{Set{core.group_by.size() - 1}};
}

// The GROUP BY list; grouping sets are kept only when some element asks for them.
void Parser::ParseGroupingSets(ast::SelectCore& core, int& height) {
  Sets sets{Set{}};
  bool special = false;
  do {
    special = special || AtGroupingSetsElement();
    sets = CrossProduct(sets, ParseGroupingElement(core, height, false));
    if (sets.size() > 4096) NotSupported("More than 4096 grouping sets");
  } while (AcceptOp(","));
  if (special) core.grouping_sets = std::move(sets);
}

}  // namespace orv::engine::parse
