// A result set as the callers of the reports hand it on: named, typed columns
// and rows of cells already rendered as text, each cell knowing what kind of
// value it holds, so that every output can align, quote and type it.
#pragma once

#include <string>
#include <vector>

namespace orv::results {

enum class CellKind {
  Null,
  Integer,
  Decimal,  // exact: DECIMAL, NUMERIC, MONEY, Currency
  Float,
  Boolean,  // the text is "1"/"0" or "True"/"False"
  Text,     // also dates
};

struct Cell {
  CellKind kind = CellKind::Null;
  std::string text;  // empty for Null; the number's digits; the text itself
};

struct ResultColumn {
  std::string name;  // may be empty (an unnamed expression) or repeat
  std::string type;  // as SQL names it: "int", "decimal(23,10)", "nvarchar(255)"
};

struct ResultTable {
  std::vector<ResultColumn> columns;
  std::vector<std::vector<Cell>> rows;  // each as wide as columns
};

inline bool IsNumber(CellKind kind) {
  return kind == CellKind::Integer || kind == CellKind::Decimal || kind == CellKind::Float;
}

}  // namespace orv::results
