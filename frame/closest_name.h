// The known name nearest to a mistyped one, for "did you mean" hints: the
// same name in another letter case first, else the fewest edits away (a swap
// of two neighbouring letters counts as one edit).
#pragma once

#include <string_view>
#include <vector>

namespace orv::frame {

// Empty when `names` is empty.
std::string_view ClosestName(std::string_view word, const std::vector<std::string_view>& names);

}  // namespace orv::frame
