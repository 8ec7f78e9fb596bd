// What a connection's batches leave behind for the next statement to read:
// @@ROWCOUNT, @@ERROR, @@IDENTITY, @@SPID, the procedure nesting level, and
// the errors whose CATCH blocks are running (ERROR_NUMBER() and its kin read
// the innermost).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv::engine {

struct CaughtError {
  int number = 0;
  int severity = 0;
  int state = 0;
  int line = 0;
  std::string message;
  std::string procedure;  // empty outside a procedure
};

struct ProceduralState {
  int64_t rowcount = 0;             // @@ROWCOUNT
  int error = 0;                    // @@ERROR
  std::optional<int64_t> identity;  // @@IDENTITY
  int spid = 0;                     // @@SPID
  int nesting = 0;                  // @@NESTLEVEL: procedure calls running
  std::vector<CaughtError> handling;
};

}  // namespace orv::engine
