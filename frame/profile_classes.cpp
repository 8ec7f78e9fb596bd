// Stand-in bodies of the display preference classes: registered and
// creatable, but every call raises 5 naming the routine.
#include "frame/profile_classes.h"

#include <string>

#include "platform/automation_error.h"

namespace orv::frame {
namespace {

[[noreturn]] void RaiseNotImplemented(const std::string& routine) {
  throw platform::AutomationError(platform::kErrInvalidProcedureCall, "Orvalent." + routine,
                                  routine + " is not implemented yet.");
}

}  // namespace

std::shared_ptr<platform::Recordset> CDataRead::GetDisEnterProfile(std::string_view, int32_t&, int32_t&) {
  RaiseNotImplemented("CDataRead.GetDisEnterProfile");
}

bool CDataUpdate::SetDisEnterProfile(std::string_view, int32_t&, int32_t&, std::string_view) {
  RaiseNotImplemented("CDataUpdate.SetDisEnterProfile");
}

}  // namespace orv::frame
