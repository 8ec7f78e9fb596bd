// RecordsetToDictionary: the current row of a record set copied into a new
// condition dictionary, field name to value. The report toolkit and the data
// source's type cache both use it, so it lives below both.
#pragma once

#include <memory>

#include "platform/host_objects.h"
#include "platform/recordset.h"

namespace orv::platform {

// A new dictionary holding the record set's current row in field order; the
// record set does not move. Raises what the record set raises (for example
// 3021 when there is no current row).
std::shared_ptr<ConditionDictionary> RecordsetToDictionary(Recordset& rs);

}  // namespace orv::platform
