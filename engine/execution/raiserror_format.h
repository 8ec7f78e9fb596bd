// RAISERROR's message text: printf-style markers (%d %i %u %o %x %X %s with
// flags, width, precision, * and the h/l/I64 size prefixes) filled from its
// arguments; a missing or NULL argument prints "(null)".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/common/value.h"

namespace orv::engine {

// Raises 2786 when an argument's type does not suit its marker.
std::string FormatRaiserror(std::string_view format, const std::vector<Value>& arguments);

}  // namespace orv::engine
