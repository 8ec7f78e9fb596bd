// Runs a report the way the ERP client calls it: the class created by its
// ProgID through the class registry, GetRptData with the session string and
// the condition dictionary; the rows stay in the detached record set.
#pragma once

#include <memory>
#include <string_view>

#include "frame/report_schema.h"
#include "platform/host_objects.h"
#include "platform/recordset.h"

namespace orv::results {

// The report's rows, raw, in an open record set. An error the report raises
// passes through as the platform's AutomationError; a class that is no report
// or a call that returns no open record set is a std::runtime_error.
std::shared_ptr<platform::Recordset> RunReportClass(const frame::ReportSchema& schema, std::string_view sDsn,
                                                    const platform::ConditionDictionary& dct);

}  // namespace orv::results
