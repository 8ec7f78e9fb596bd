// GetstrSQL of the procurement order execution report: runs the detail batch
// and the total batch on the report's connection, one after the other, and
// hands back the rows of the second detached from the connection.
#include "platform/automation_error.h"
#include "reports/rpt2010005/sql_routines.h"
#include "toolkit/error_trap.h"
#include "toolkit/local_text.h"

namespace orv::reports::rpt2010005 {

namespace {

// The language of the error message is the parser's; should the parser not
// know it, the session language read by the caller serves, so the message
// about the original error is never replaced by one about the language.
std::string MessageLanguage(const frame::CParse& parser, const std::string& sLanguage) {
  try {
    return parser.LanguageID();
  } catch (const platform::AutomationError&) {
    return sLanguage;
  }
}

}  // namespace

std::shared_ptr<platform::Recordset> GetstrSQL(platform::Connection& connection, const frame::CParse& parser,
                                               const std::string& sLanguage,
                                               const platform::ConditionDictionary* dct) {
  try {
    // The first batch's record set (if any) is dropped unread.
    connection.Execute(GetDetailBatchSQL(sLanguage, dct), -1);
    std::shared_ptr<platform::Recordset> rows = connection.Execute(GetTotalBatchSQL(sLanguage), -1);
    rows->SetActiveConnection(nullptr);
    return rows;
  } catch (const platform::AutomationError& caught) {
    constexpr std::string_view kRoutine = "Orvalent.CRPT2010005.GetstrSQL";
    if (caught.number() != platform::kErrCommandText) toolkit::RaiseAgain(caught, kRoutine);
    // The database refused a batch: the user is told to choose the summary
    // mode again, followed by the database's own words.
    const std::string advice =
        toolkit::GetLocalText("指定了太多汇总列，请重新选择汇总方式！", MessageLanguage(parser, sLanguage));
    toolkit::RaiseAgain(caught, kRoutine, advice + "\r\n" + caught.description());
  }
}

}  // namespace orv::reports::rpt2010005
