// Turns what the two layers return into printable tables: the engine's result
// sets (the sql command) and the platform's record sets (the report command).
#pragma once

#include "cli/result_table.h"
#include "engine/engine.h"
#include "platform/recordset.h"

namespace orv::cli {

ResultTable FromResultSet(const engine::ResultSet& result);

// Every row of an open record set, from the first; the position is left at EOF.
ResultTable FromRecordset(platform::Recordset& recordset);

}  // namespace orv::cli
