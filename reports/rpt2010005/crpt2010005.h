// The report class CRPT2010005: the second shape of the report frame, in which
// the report's GetstrSQL runs its own batches on the connection and returns
// the last record set, detached.
#pragma once

#include "toolkit/str_sql_report.h"
#include "reports/rpt2010005/sql_routines.h"

namespace orv::reports {

class CRPT2010005 : public toolkit::StrSqlReport {
 public:
  CRPT2010005() : StrSqlReport("CRPT2010005", rpt2010005::GetstrSQL) {}
};

}  // namespace orv::reports
