#include "toolkit/str_sql_report.h"

#include "platform/automation_error.h"
#include "toolkit/property_lookup.h"

namespace orv::toolkit {

std::shared_ptr<platform::Recordset> StrSqlReport::RunReport(std::string_view sDsn,
                                                             const platform::ConditionDictionary* dct) {
  platform::Connection& connection = InitDataEnv(sDsn);
  const std::string sLanguage = GetPropertyValue(sDsn, "Language");
  return routine_(connection, Parser(), sLanguage, dct);
}

GetstrSQLRoutine NotImplementedRoutine(std::string class_name) {
  return [class_name = std::move(class_name)](platform::Connection&, const frame::CParse&, const std::string&,
                                              const platform::ConditionDictionary*)
             -> std::shared_ptr<platform::Recordset> {
    throw platform::AutomationError(platform::kErrInvalidProcedureCall, "Orvalent." + class_name + ".GetstrSQL",
                                    "The report " + class_name + " is not implemented yet.");
  };
}

}  // namespace orv::toolkit
