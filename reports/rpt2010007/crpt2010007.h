// The report class CRPT2010007: the second shape of the report frame, in which
// the report's GetstrSQL runs its own batches on the connection and returns
// the last record set, detached.
#pragma once

#include "reports/rpt2010007/sql_routines.h"
#include "toolkit/str_sql_report.h"

namespace orv::reports {

class CRPT2010007 : public toolkit::StrSqlReport {
 public:
  CRPT2010007() : StrSqlReport("CRPT2010007", rpt2010007::GetstrSQL) {}
};

}  // namespace orv::reports
