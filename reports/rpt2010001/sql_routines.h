// The SQL routines of the purchase invoice report: the creation of its
// temporary table and the batch that fills it with the invoice lines and a
// total row and returns it. CRPT2010001 calls them in that order and runs
// the buffer as one batch.
#pragma once

#include <string>
#include <string_view>

#include "platform/host_objects.h"

namespace orv::reports::rpt2010001 {

// Appends the CREATE TABLE of `table` with the report's 31 result columns.
void GetCreateSQL(platform::SqlBuffer& buffer, const std::string& table);

// Appends the detail INSERT with the user's conditions, the total row, the
// final SELECT (ordered by FSumSort and the user's SortFields) and the DROP.
// Labels are written in `language`. Raises 91 without a dictionary and 5 for a
// SortFields text that is not a list of the table's columns, before anything
// is appended.
void GetDataSQL(platform::SqlBuffer& buffer, const platform::ConditionDictionary* dct, const std::string& table,
                const std::string& language);

// Raises 5 unless `sort_fields` is a comma-separated list of columns of the
// report's table, each optionally followed by ASC or DESC.
void CheckSortFields(std::string_view sort_fields);

}  // namespace orv::reports::rpt2010001
