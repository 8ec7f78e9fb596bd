// A result set as the command line prints it: column names and rows of cells
// already rendered as text, each cell knowing whether it is NULL, a number or
// text, so that the three output formats can align, quote and type it.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace orv::cli {

enum class CellKind { Null, Number, Boolean, Text };

struct Cell {
  CellKind kind = CellKind::Null;
  std::string text;  // "NULL" for Null; the number's digits; the text itself
};

struct ResultTable {
  std::vector<std::string> columns;
  std::vector<std::vector<Cell>> rows;
};

enum class OutputFormat { Table, Csv, Json };

// Columns a terminal gives the text: two for East Asian wide and fullwidth
// characters, none for combining marks, one otherwise (and for invalid bytes).
size_t DisplayWidth(std::string_view utf8);

// Aligned columns under a header and a dashed rule, numbers to the right.
void PrintAligned(std::ostream& out, const ResultTable& table);
// The count line that follows a table ("(1 row affected)"), where the database
// sends no message of its own.
void PrintRowCount(std::ostream& out, size_t rows);
// RFC 4180: a header line, CR LF line ends, fields with a comma, quote or line
// break in double quotes with quotes doubled. NULL is an empty field.
void PrintCsv(std::ostream& out, const ResultTable& table);
// One JSON array of objects (column name to value) on one line; numbers stay
// exact, NULL is null.
void PrintJson(std::ostream& out, const ResultTable& table);

void PrintResult(std::ostream& out, const ResultTable& table, OutputFormat format);

}  // namespace orv::cli
