// The one error type of the engine: SQL Server's number, severity, state, the
// line within the batch and the message text. Everything a batch can trigger
// is thrown as SqlError; anything else escaping the engine is a bug.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orv::engine {

enum class ErrorCode {
#define ORV_ERROR(name, number, severity, text) name,
#include "engine/common/errors.def"
#undef ORV_ERROR
};

class SqlError : public std::runtime_error {
 public:
  SqlError(int number, int severity, int state, int line, std::string message)
      : std::runtime_error(message), number_(number), severity_(severity), state_(state), line_(line) {}

  int number() const { return number_; }
  int severity() const { return severity_; }
  int state() const { return state_; }
  int line() const { return line_; }   // 1-based line within the batch; 0 when not yet known
  void set_line(int line) { line_ = line; }
  std::string message() const { return what(); }
  // Set once the failed statement has been undone, so that the statements
  // around it (a block, a procedure call) do not undo theirs for it again.
  bool undone() const { return undone_; }
  void set_undone() { undone_ = true; }

 private:
  int number_;
  int severity_;
  int state_;
  int line_;
  bool undone_ = false;
};

// Builds the error of `code`, filling the template's %s markers with `args` in order.
SqlError MakeError(ErrorCode code, std::initializer_list<std::string_view> args = {}, int line = 0);

// Whether SQL Server, with a client connection's defaults (XACT_ABORT OFF,
// ANSI_WARNINGS ON), ends only the failing statement on error `number` and
// goes on with the batch. Every other error ends the batch.
bool EndsOnlyStatement(int number);

[[noreturn]] inline void Throw(ErrorCode code, std::initializer_list<std::string_view> args = {}, int line = 0) {
  throw MakeError(code, args, line);
}

}  // namespace orv::engine
