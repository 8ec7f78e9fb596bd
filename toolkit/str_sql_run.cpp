// The batch runner and the error trap of the reports' GetstrSQL (see str_sql_run.h).
#include "toolkit/str_sql_run.h"

#include "toolkit/error_trap.h"
#include "toolkit/local_text.h"

namespace orv::toolkit {

namespace {

std::string MessageLanguage(const frame::CParse& parser, const std::string& sLanguage) {
  try {
    return parser.LanguageID();
  } catch (const platform::AutomationError&) {
    return sLanguage;
  }
}

}  // namespace

BatchRunner ExecuteOn(platform::Connection& connection) {
  return [&connection](const std::string& batch) { return connection.Execute(batch, -1); };
}

void RaiseFromGetstrSQL(const platform::AutomationError& caught, std::string_view class_name,
                        const frame::CParse& parser, const std::string& sLanguage) {
  const std::string routine = "Orvalent." + std::string(class_name) + ".GetstrSQL";
  if (caught.number() != platform::kErrCommandText) RaiseAgain(caught, routine);
  const std::string advice =
      GetLocalText("指定了太多汇总列，请重新选择汇总方式！", MessageLanguage(parser, sLanguage));
  RaiseAgain(caught, routine, advice + "\r\n" + caught.description());
}

}  // namespace orv::toolkit
