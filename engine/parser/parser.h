// Turns the text of one batch into its syntax tree. The whole batch is parsed
// before anything runs, as SQL Server does: a syntax error anywhere means no
// statement of the batch executes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/common/errors.h"
#include "engine/parser/ast.h"

namespace orv::engine {

// Parses `text`. Throws SqlError 102 / 156 ("Incorrect syntax near ...") with
// the line, and 50001 for syntax the engine does not support.
ast::Batch ParseBatch(std::string_view text);

// Parses `text` as one scalar expression and nothing more: a column default
// as its table keeps it, numbering its lines from `first_line` so that errors
// point at the statement using it. Throws as ParseBatch does.
ast::ExprPtr ParseScalarExpression(std::string_view text, int first_line);

// Splits a script at lines that hold only GO (any case, blanks around), as
// sqlcmd does on the client side. Each piece keeps its own text; `first_line`
// receives the line of the script on which each piece starts.
struct ScriptBatch {
  std::string text;
  int first_line = 1;
};
std::vector<ScriptBatch> SplitScript(std::string_view script);

}  // namespace orv::engine
