// Turns what the two layers return into printable tables: the engine's result
// sets (the sql command), the platform's record sets (the report command) and
// single automation values.
#pragma once

#include "cli/result_table.h"
#include "engine/engine.h"
#include "platform/recordset.h"

namespace orv::cli {

// One automation value as a cell: Empty and Null as NULL, an object as "(object)".
Cell FromVariant(const platform::Variant& value);

ResultTable FromResultSet(const engine::ResultSet& result);

// Every row of an open record set, from the first; the position is left at EOF.
ResultTable FromRecordset(platform::Recordset& recordset);

}  // namespace orv::cli
