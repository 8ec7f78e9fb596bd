// GetstrSQL of the requisition report: the detail batch, then the grouped
// summary on the same connection; the rows of the last batch are handed back
// detached.
#include "platform/automation_error.h"
#include "reports/rpt2010006/sql_routines.h"
#include "toolkit/str_sql_run.h"

namespace orv::reports::rpt2010006 {

std::shared_ptr<platform::Recordset> GetstrSQL(platform::Connection& connection, const frame::CParse& parser,
                                               const std::string& sLanguage,
                                               const platform::ConditionDictionary* dct) {
  return toolkit::TrapGetstrSQL("CRPT2010006", parser, sLanguage, [&] {
    // The summary reads its grouping from the dictionary: without one, or
    // with a choice it cannot carry out, nothing is run at all.
    if (dct == nullptr) platform::RaiseRuntimeError(platform::kErrObjectNotSet);
    toolkit::CheckSummaryConditions(SummaryParameters(), *dct);
    const toolkit::BatchRunner run = toolkit::ExecuteOn(connection);
    // The detail batch returns no rows; its record set is dropped unread.
    run(GetDetailBatchSQL(sLanguage, dct));
    return toolkit::RunSummary(SummaryParameters(), *dct, parser, sLanguage, run);
  });
}

}  // namespace orv::reports::rpt2010006
