// The report frame's call flow and its two error traps. Errors that are not
// automation errors (memory exhaustion, a fault in a lower layer) are turned
// into automation errors at the trap, so the client always gets a number.
#include "frame/report_frame.h"

#include <new>

#include "platform/automation_error.h"

namespace orv::frame {
namespace {

constexpr int32_t kErrOutOfMemory = 7;
constexpr int32_t kErrUnspecified = static_cast<int32_t>(0x80004005);

// Runs `body`; whatever it raises is raised again with `source`, keeping the
// caught number and description.
template <typename Body>
auto Trap(const std::string& source, Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (const platform::AutomationError& caught) {
    throw platform::AutomationError(caught.number(), source, caught.description());
  } catch (const std::bad_alloc&) {
    throw platform::AutomationError(kErrOutOfMemory, source, "Out of memory");
  } catch (const std::exception& caught) {
    throw platform::AutomationError(kErrUnspecified, source, caught.what());
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
