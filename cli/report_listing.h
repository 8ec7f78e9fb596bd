// What the report command lists: the reports (when the one asked for does
// not exist) and a report's condition keys (--list-conditions).
#pragma once

#include <string>

#include "cli/result_table.h"
#include "frame/report_schema.h"

namespace orv::cli {

// "Reports:" and one line per report, number and English title.
std::string ReportList();

// One row per condition key: Key, Type, Default, Depends on, Meaning. The
// meaning lists a choice key's values and names the keys a switch governs.
ResultTable ConditionTable(const frame::ReportSchema& schema);

}  // namespace orv::cli
