// Turns what the two layers return into printable tables: the engine's result
// sets (the sql command), the platform's record sets (the report command) and
// single automation values.
#pragma once

#include "cli/result_table.h"
#include "engine/engine.h"
#include "results/recordset_table.h"

namespace orv::cli {

using results::FromRecordset;
using results::FromVariant;

ResultTable FromResultSet(const engine::ResultSet& result);

}  // namespace orv::cli
