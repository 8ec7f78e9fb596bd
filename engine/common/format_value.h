// Values as text, the way SQL Server's client tools print them: for messages
// that quote a value and for anyone showing a result set.
#pragma once

#include <string>

#include "engine/common/value.h"

namespace orv::engine {

// datetime as "2024-03-05 00:00:00.000", decimals with their scale, NULL as "NULL".
std::string FormatValue(const Value& value);

}  // namespace orv::engine
