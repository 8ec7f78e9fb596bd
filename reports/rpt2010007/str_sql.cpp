// GetstrSQL of the application tracking report: the view the two view keys
// choose, the detail batch, then the grouped summary of that view on the same
// connection; the rows of the last batch are handed back detached.
#include "platform/automation_error.h"
#include "reports/rpt2010007/sql_routines.h"
#include "toolkit/str_sql_run.h"

namespace orv::reports::rpt2010007 {

bool ViewKeySet(const platform::ConditionDictionary& dct, std::string_view key, int default_value) {
  const platform::Variant value = dct.GetValue(key, platform::Variant(default_value));
  return !value.IsNull() && value.ToBool();
}

View ReadView(const platform::ConditionDictionary& dct) {
  const bool application = ViewKeySet(dct, "FAppSource", 1);
  const bool source = ViewKeySet(dct, "FApplicationSource", 0);
  // Each view has its own quantity columns: both at once would give the two
  // SELECTs of one insert different widths, neither leaves the summary
  // nothing to add up. Refused before anything runs.
  if (application && source) {
    throw platform::AutomationError(
        platform::kErrInvalidProcedureCall, "Orvalent",
        "FAppSource and FApplicationSource are both set: the application view and the source view cannot be "
        "shown together. Set FApplicationSource to 0 for the application view, or FAppSource to 0 for the "
        "source view.");
  }
  if (!application && !source) {
    throw platform::AutomationError(
        platform::kErrInvalidProcedureCall, "Orvalent",
        "Neither FAppSource nor FApplicationSource is set: the report has no quantities to show. Set FAppSource "
        "to 1 for the application view, or FAppSource to 0 and FApplicationSource to 1 for the source view.");
  }
  return application ? View::Application : View::Source;
}

std::shared_ptr<platform::Recordset> GetstrSQL(platform::Connection& connection, const frame::CParse& parser,
                                               const std::string& sLanguage,
                                               const platform::ConditionDictionary* dct) {
  return toolkit::TrapGetstrSQL("CRPT2010007", parser, sLanguage, [&] {
    // The view and the grouping come from the dictionary: without one, or
    // with choices that cannot be carried out, nothing is run at all.
    if (dct == nullptr) platform::RaiseRuntimeError(platform::kErrObjectNotSet);
    const View view = ReadView(*dct);
    toolkit::CheckSummaryConditions(SummaryParameters(view), *dct);
    const toolkit::BatchRunner run = toolkit::ExecuteOn(connection);
    // The detail batch returns no rows; its record set is dropped unread.
    run(GetDetailBatchSQL(sLanguage, *dct, view));
    return toolkit::RunSummary(SummaryParameters(view), *dct, parser, sLanguage, run);
  });
}

}  // namespace orv::reports::rpt2010007
