// The per-thread pending error.
#include "platform/err_object.h"

namespace orv::platform {

void ErrObject::Set(const AutomationError& error) {
  number_ = error.number();
  source_ = error.source();
  description_ = error.description();
  help_file_.clear();
  help_context_ = 0;
}

void ErrObject::Raise(int32_t number, std::string source, std::string description, std::string help_file,
                      int32_t help_context) {
  if (number == 0) RaiseRuntimeError(kErrInvalidProcedureCall);
  number_ = number;
  source_ = std::move(source);
  description_ = std::move(description);
  help_file_ = std::move(help_file);
  help_context_ = help_context;
  throw AutomationError(number_, source_, description_);
}

void ErrObject::Clear() { *this = ErrObject(); }

ErrObject& Err() {
  thread_local ErrObject err;
  return err;
}

}  // namespace orv::platform
