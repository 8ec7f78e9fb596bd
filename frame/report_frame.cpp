// The report frame's call flow and its two error traps; what a trap catches
// is taken as an automation error by CaughtError, whatever its kind.
#include "frame/report_frame.h"

#include "frame/error_trap.h"
#include "platform/automation_error.h"

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

}  // namespace orv::frame
