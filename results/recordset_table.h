// Turns what a report returns into a typed table: the platform's record sets
// and single automation values.
#pragma once

#include "platform/recordset.h"
#include "results/result_table.h"

namespace orv::results {

// One automation value as a cell: Empty and Null as NULL, an object as "(object)".
Cell FromVariant(const platform::Variant& value);

// Every row of an open record set, from the first; the position is left at EOF.
ResultTable FromRecordset(platform::Recordset& recordset);

}  // namespace orv::results
