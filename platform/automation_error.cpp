// The runtime's standard descriptions of its error numbers.
#include "platform/automation_error.h"

namespace orv::platform {
namespace {

const char* StandardDescription(int32_t number) {
  switch (number) {
    case kErrInvalidProcedureCall:
      return "Invalid procedure call or argument";
    case kErrOverflow:
      return "Overflow";
    case kErrSubscriptOutOfRange:
      return "Subscript out of range";
    case kErrObjectNotSet:
      return "Object variable or With block variable not set";
    case kErrTypeMismatch:
      return "Type mismatch";
    case kErrInvalidUseOfNull:
      return "Invalid use of Null";
    case kErrCannotCreateObject:
      return "ActiveX component can't create object";
    case kErrDuplicateKey:
      return "This key is already associated with an element of this collection";
    default:
      return "Application-defined or object-defined error";
  }
}

}  // namespace

void RaiseRuntimeError(int32_t number, const std::string& source) {
  throw AutomationError(number, source, StandardDescription(number));
}

}  // namespace orv::platform
