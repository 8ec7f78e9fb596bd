#include "toolkit/str_sql_report.h"

#include "toolkit/property_lookup.h"

namespace orv::toolkit {

std::shared_ptr<platform::Recordset> StrSqlReport::RunReport(std::string_view sDsn,
                                                             const platform::ConditionDictionary* dct) {
  platform::Connection& connection = InitDataEnv(sDsn);
  const std::string sLanguage = GetPropertyValue(sDsn, "Language");
  return routine_(connection, Parser(), sLanguage, dct);
}

}  // namespace orv::toolkit
