// Test helper: prints syntax trees as compact S-expressions so that a test can
// state the expected shape (precedence, alias, join nesting) in one line.
#pragma once

#include <string>

#include "engine/common/errors.h"
#include "engine/parser/ast.h"

namespace orv::engine::test {

std::string Dump(const ast::Expr& expr);
std::string Dump(const ast::QueryExpr& query);
std::string Dump(const ast::TableRef& table);

// The single statement of `sql` (which must hold exactly one) as a SELECT's
// query, or the first select item's expression.
std::string DumpQuery(const std::string& sql);
std::string DumpExpr(const std::string& scalar_sql);  // dumps the item of "SELECT <scalar_sql>"
std::string DumpWhere(const std::string& condition_sql);  // dumps the WHERE of "SELECT 1 FROM t WHERE ..."

// The error ParseBatch throws for `sql`; a SqlError numbered 0 when it throws none.
SqlError ParseError(const std::string& sql);

}  // namespace orv::engine::test
