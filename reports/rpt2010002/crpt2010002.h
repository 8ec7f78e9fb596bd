// The report class CRPT2010002: the second shape of the report frame, in which
// the report's GetstrSQL runs its own batches on the connection and returns
// the last record set, detached.
#pragma once

#include "frame/report_frame.h"
#include "reports/rpt2010002/sql_routines.h"

namespace orv::reports {

class CRPT2010002 : public frame::StrSqlReport {
 public:
  CRPT2010002() : StrSqlReport("CRPT2010002", rpt2010002::GetstrSQL) {}
};

}  // namespace orv::reports
