// Rethrows the exception in flight to sort it by kind.
#include "frame/error_trap.h"

#include <exception>
#include <new>

namespace orv::frame {
namespace {

constexpr int32_t kErrOutOfMemory = 7;
constexpr int32_t kErrUnspecified = static_cast<int32_t>(0x80004005);
constexpr const char* kSource = "Orvalent";

}  // namespace

platform::AutomationError CaughtError() {
  try {
    throw;
  } catch (const platform::AutomationError& caught) {
    return caught;
  } catch (const std::bad_alloc&) {
    return platform::AutomationError(kErrOutOfMemory, kSource, "Out of memory");
  } catch (const std::exception& caught) {
    return platform::AutomationError(kErrUnspecified, kSource, caught.what());
  } catch (...) {
    return platform::AutomationError(kErrUnspecified, kSource, "Unexpected failure");
  }
}

}  // namespace orv::frame
