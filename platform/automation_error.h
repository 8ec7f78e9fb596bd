// The error of the automation runtime: a number (an HRESULT such as
// 0x80040E14, or a runtime error number such as 5 or 13), a source and a
// description. Raised as a C++ exception; the component's traps catch it and
// raise it again with their own source.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace orv::platform {

class AutomationError : public std::runtime_error {
 public:
  AutomationError(int32_t number, std::string source, std::string description)
      : std::runtime_error(description), number_(number), source_(std::move(source)),
        description_(std::move(description)) {}

  int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
};

// Runtime error numbers the component relies on.
inline constexpr int32_t kErrInvalidProcedureCall = 5;
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrSubscriptOutOfRange = 9;
inline constexpr int32_t kErrObjectNotSet = 91;
inline constexpr int32_t kErrTypeMismatch = 13;
inline constexpr int32_t kErrInvalidUseOfNull = 94;
inline constexpr int32_t kErrDuplicateKey = 457;
inline constexpr int32_t kErrCannotCreateObject = 429;
// Provider HRESULTs (as signed 32-bit numbers).
inline constexpr int32_t kErrCommandText = static_cast<int32_t>(0x80040E14);  // DB_E_ERRORSINCOMMAND

// Raises runtime error `number` with the runtime's standard description.
[[noreturn]] void RaiseRuntimeError(int32_t number, const std::string& source = "Orvalent");

}  // namespace orv::platform
