// A result set as the command line prints it (the shared typed table), and
// what a terminal needs on top of it: display widths and the count line.
#pragma once

#include <string>
#include <string_view>

#include "results/result_table.h"

namespace orv::cli {

using results::Cell;
using results::CellKind;
using results::IsNumber;
using results::ResultColumn;
using results::ResultTable;

// Columns a terminal gives the text: two for East Asian wide and fullwidth
// characters, none for combining marks, one otherwise (and for invalid bytes).
size_t DisplayWidth(std::string_view utf8);

// "(1 row affected)", "(3 rows affected)": the count line of a table.
std::string RowCountMessage(size_t rows);

}  // namespace orv::cli
