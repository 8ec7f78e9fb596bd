// Object and column names compare without regard to letter case, as under the
// database's case-insensitive collation. These helpers give the lookup key of
// a name and compare two names that way (ASCII letters only: identifiers in
// other scripts have no case to fold).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv::engine {

std::string NameKey(std::string_view name);
bool NamesEqual(std::string_view a, std::string_view b);
// "tempdb..#x", "dbo.t": the parts joined as they were written.
std::string JoinName(const std::vector<std::string>& parts);

}  // namespace orv::engine
