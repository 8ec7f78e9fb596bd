// GetRptData of the purchase invoice report: a time-and-random table name, the
// session language, the batch from the report's two SQL routines, one
// Execute, and the record set detached from the connection.
#include "reports/rpt2010001/crpt2010001.h"

#include "platform/host_objects.h"
#include "reports/rpt2010001/sql_routines.h"
#include "toolkit/property_lookup.h"

namespace orv::reports {

std::shared_ptr<platform::Recordset> CRPT2010001::RunReport(std::string_view sDsn,
                                                            const platform::ConditionDictionary* dct) {
  InitDataEnv(sDsn);
  const std::string table = toolkit::GetTempTableName("#Rpt2010001");
  const std::string language = toolkit::GetPropertyValue(sDsn, "Language");
  // The buffer lives for this call only; an error on the way releases it too.
  platform::SqlBuffer buffer;
  rpt2010001::GetCreateSQL(buffer, table);
  rpt2010001::GetDataSQL(buffer, dct, table, language);
  std::shared_ptr<platform::Recordset> rows = ConnectionMember().Execute(buffer.GetText(), -1);
  rows->SetActiveConnection(nullptr);
  return rows;
}

}  // namespace orv::reports
