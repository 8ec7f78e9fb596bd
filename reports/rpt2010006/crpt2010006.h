// The report class CRPT2010006: the second shape of the report frame, in which
// the report's GetstrSQL runs its own batches on the connection and returns
// the last record set, detached.
#pragma once

#include "toolkit/str_sql_report.h"

namespace orv::reports {

class CRPT2010006 : public toolkit::StrSqlReport {
 public:
  CRPT2010006() : StrSqlReport("CRPT2010006", toolkit::NotImplementedRoutine("CRPT2010006")) {}
};

}  // namespace orv::reports
