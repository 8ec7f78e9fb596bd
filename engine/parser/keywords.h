// SQL Server's reserved keywords. A reserved word cannot be a plain name or a
// bare alias, and a syntax error on one is reported with error 156 instead of 102.
#pragma once

#include <string_view>

namespace orv::engine::parse {

// True when `word` (any letter case) is a reserved keyword of Transact-SQL.
bool IsReservedKeyword(std::string_view word);

}  // namespace orv::engine::parse
