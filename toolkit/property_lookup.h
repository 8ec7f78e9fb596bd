// Small routines the report classes and the data source share: the light
// reader of one value of the session property string, the time-and-random
// temporary-table name, and the copy of a record set row into a dictionary.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/host_objects.h"
#include "platform/recordset_to_dictionary.h"

namespace orv::toolkit {

// The text after the first "sName=" (any letter case, matched anywhere, even
// inside a longer name) up to the next ";". Never raises: a missing name gives
// "". Nothing is trimmed or unquoted.
std::string GetPropertyValue(std::string_view sDsn, std::string_view sName);

// sPrefix (or "#tmpTable" when it is blank) followed by month, day, hour,
// minute and second of the local time and a random number below 10^8, all in
// plain decimal. The generator is re-seeded from the clock on each call.
std::string GetTempTableName(std::string_view sPrefix);

// The copy of a record set row into a dictionary, shared with the data source.
using platform::RecordsetToDictionary;

}  // namespace orv::toolkit
