// An error that left a procedure or a dynamic batch, or that THROW raised: any
// TRY catches it, even when it is one the failing scope's own TRY could not (a
// name that did not resolve), and ERROR_PROCEDURE() names where it happened.
// THROW's end the batch whatever their number.
#pragma once

#include <string>
#include <utility>

#include "engine/common/errors.h"

namespace orv::engine {

class NestedError : public SqlError {
 public:
  NestedError(const SqlError& error, std::string procedure, bool ends_batch = false)
      : SqlError(error), procedure_(std::move(procedure)), ends_batch_(ends_batch) {}
  const std::string& procedure() const { return procedure_; }
  bool ends_batch() const { return ends_batch_; }

 private:
  std::string procedure_;
  bool ends_batch_;
};

}  // namespace orv::engine
