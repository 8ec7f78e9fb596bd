// GetstrSQL of the procurement order execution report: runs the detail batch
// and the total batch on the report's connection, one after the other, and
// hands back the rows of the second detached from the connection.
#include "reports/rpt2010005/sql_routines.h"
#include "toolkit/str_sql_run.h"

namespace orv::reports::rpt2010005 {

std::shared_ptr<platform::Recordset> GetstrSQL(platform::Connection& connection, const frame::CParse& parser,
                                               const std::string& sLanguage,
                                               const platform::ConditionDictionary* dct) {
  return toolkit::TrapGetstrSQL("CRPT2010005", parser, sLanguage, [&] {
    const toolkit::BatchRunner run = toolkit::ExecuteOn(connection);
    // The first batch's record set (if any) is dropped unread.
    run(GetDetailBatchSQL(sLanguage, dct));
    return run(GetTotalBatchSQL(sLanguage));
  });
}

}  // namespace orv::reports::rpt2010005
