// A result set as the command line prints it: named, typed columns and rows
// of cells already rendered as text, each cell knowing what kind of value it
// holds, so that the output formats can align, quote and type it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv::cli {

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

bool IsNumber(CellKind kind);

// Columns a terminal gives the text: two for East Asian wide and fullwidth
// characters, none for combining marks, one otherwise (and for invalid bytes).
size_t DisplayWidth(std::string_view utf8);

// "(1 row affected)", "(3 rows affected)": the count line of a table.
std::string RowCountMessage(size_t rows);

}  // namespace orv::cli
