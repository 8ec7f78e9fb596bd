// The runtime's per-thread "Err" object: the error that is pending on the
// current thread (number, source, description, help file, help context).
// Routines that must leave a caller's pending error untouched save it on
// entry and restore it before they return.
#pragma once

#include <cstdint>
#include <string>

#include "platform/automation_error.h"

namespace orv::platform {

class ErrObject {
 public:
  int32_t Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }
  const std::string& HelpFile() const { return help_file_; }
  int32_t HelpContext() const { return help_context_; }

  void SetNumber(int32_t number) { number_ = number; }
  void SetSource(std::string source) { source_ = std::move(source); }
  void SetDescription(std::string description) { description_ = std::move(description); }
  void SetHelpFile(std::string help_file) { help_file_ = std::move(help_file); }
  void SetHelpContext(int32_t help_context) { help_context_ = help_context; }

  // True while an error is pending (a non-zero number).
  bool IsSet() const { return number_ != 0; }
  // Records a caught error as the pending one, as entering a handler does.
  void Set(const AutomationError& error);
  // Makes the error pending and throws it. A zero number is itself an
  // invalid call (5), as in the runtime.
  [[noreturn]] void Raise(int32_t number, std::string source = "", std::string description = "",
                          std::string help_file = "", int32_t help_context = 0);
  void Clear();

 private:
  int32_t number_ = 0;
  std::string source_;
  std::string description_;
  std::string help_file_;
  int32_t help_context_ = 0;
};

// The current thread's Err object.
ErrObject& Err();

}  // namespace orv::platform
