// The report frame's call flow and its two error traps; what a trap catches
// is taken as an automation error by CaughtError, whatever its kind.
#include "frame/report_frame.h"

#include "frame/error_trap.h"
#include "platform/automation_error.h"
#include "toolkit/property_lookup.h"

namespace orv::frame {
namespace {

// Runs `body`; whatever it raises is raised again with `source`, keeping the
// caught number and description.
template <typename Body>
auto Trap(const std::string& source, Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    const platform::AutomationError caught = CaughtError();
    throw platform::AutomationError(caught.number(), source, caught.description());
  }
}

}  // namespace

ReportFrame::~ReportFrame() {
  try {
    Terminate();
  } catch (...) {
    // A destructor cannot raise; the members are released regardless.
  }
}

std::shared_ptr<platform::Recordset> ReportFrame::GetRptData(std::string_view sDsn,
                                                             const platform::ConditionDictionary* dct) {
  return Trap("Orvalent." + class_name_ + ".GetRptData", [&] { return RunReport(sDsn, dct); });
}

void ReportFrame::Terminate() {
  Trap("Class_Terminate", [&] {
    data_source_.reset();
    parser_.reset();
    // The connection is dropped from the member first, so a Close that fails
    // cannot leave it behind for a second attempt.
    const std::shared_ptr<platform::Connection> connection = std::move(connection_);
    if (connection && connection->State() == platform::adStateOpen) connection->Close();
  });
}

platform::Connection& ReportFrame::InitDataEnv(std::string_view sDsn) {
  parser_ = std::make_shared<CParse>();
  parser_->ParseString(sDsn);
  data_source_.reset();
  data_source_ = std::make_unique<CDataSource>();
  data_source_->SetParser(parser_);
  connection_ = data_source_->UnCommittedConnection();
  return *connection_;
}

std::shared_ptr<platform::Recordset> StrSqlReport::RunReport(std::string_view sDsn,
                                                             const platform::ConditionDictionary* dct) {
  platform::Connection& connection = InitDataEnv(sDsn);
  const std::string sLanguage = toolkit::GetPropertyValue(sDsn, "Language");
  return routine_(connection, Parser(), sLanguage, dct);
}

GetstrSQLRoutine NotImplementedRoutine(std::string class_name) {
  return [class_name = std::move(class_name)](platform::Connection&, const CParse&, const std::string&,
                                              const platform::ConditionDictionary*)
             -> std::shared_ptr<platform::Recordset> {
    throw platform::AutomationError(platform::kErrInvalidProcedureCall, "Orvalent." + class_name + ".GetstrSQL",
                                    "The report " + class_name + " is not implemented yet.");
  };
}

}  // namespace orv::frame
