// GetstrSQL of the expense invoice report: the detail batch, then the grouped
// summary (or the total row) on the same connection; the rows of the last
// batch are handed back detached.
#include "reports/rpt2010002/sql_routines.h"
#include "toolkit/str_sql_run.h"

namespace orv::reports::rpt2010002 {

std::shared_ptr<platform::Recordset> GetstrSQL(platform::Connection& connection, const frame::CParse& parser,
                                               const std::string& sLanguage,
                                               const platform::ConditionDictionary* dct) {
  return toolkit::TrapGetstrSQL("CRPT2010002", parser, sLanguage, [&] {
    const toolkit::BatchRunner run = toolkit::ExecuteOn(connection);
    // The detail batch returns no rows; its record set is dropped unread.
    run(GetDetailBatchSQL(dct));
    return toolkit::RunSummary(SummaryParameters(), *dct, parser, sLanguage, run);
  });
}

}  // namespace orv::reports::rpt2010002
