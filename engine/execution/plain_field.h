// The field text a loaded file holds most often, read straight into a value of
// the column's type: integers, decimals with no more fractional digits than
// the column keeps, and yyyy-mm-dd dates. Any other text goes through the
// general conversion, which also words the errors, so a field read here gets
// exactly the value CAST would give it.
#pragma once

#include <string_view>

#include "engine/common/types.h"
#include "engine/common/value.h"

namespace orv::engine {

// False when `text` is not in one of the plain forms of `type`, or is out of its range.
bool ReadPlainField(std::string_view text, const DataType& type, Value& out);

}  // namespace orv::engine
