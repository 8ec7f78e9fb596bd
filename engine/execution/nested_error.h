// An error that left a procedure or a dynamic batch: the caller's TRY catches
// it even when it is one the failing scope's own TRY could not (a name that
// did not resolve), and ERROR_PROCEDURE() names where it happened.
#pragma once

#include <string>
#include <utility>

#include "engine/common/errors.h"

namespace orv::engine {

class NestedError : public SqlError {
 public:
  NestedError(const SqlError& error, std::string procedure) : SqlError(error), procedure_(std::move(procedure)) {}
  const std::string& procedure() const { return procedure_; }

 private:
  std::string procedure_;
};

}  // namespace orv::engine
