// The second shape of GetRptData, shared by the reports that run their own
// batches: InitDataEnv, the session language read from the session string,
// then the report's GetstrSQL, whose record set is returned as it is.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "frame/cparse.h"
#include "frame/report_frame.h"
#include "platform/connection.h"
#include "platform/host_objects.h"
#include "platform/recordset.h"

namespace orv::toolkit {

// The GetstrSQL routine of a report that runs its own batches on the
// connection and returns the last record set, detached.
using GetstrSQLRoutine = std::function<std::shared_ptr<platform::Recordset>(
    platform::Connection& connection, const frame::CParse& parser, const std::string& sLanguage,
    const platform::ConditionDictionary* dct)>;

class StrSqlReport : public frame::ReportFrame {
 protected:
  StrSqlReport(std::string class_name, GetstrSQLRoutine routine)
      : ReportFrame(std::move(class_name)), routine_(std::move(routine)) {}

  std::shared_ptr<platform::Recordset> RunReport(std::string_view sDsn,
                                                 const platform::ConditionDictionary* dct) override;

 private:
  GetstrSQLRoutine routine_;
};

}  // namespace orv::toolkit
