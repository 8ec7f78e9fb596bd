// The one nesting limit of views, procedures and functions: 32 levels, as in
// SQL Server (error 217). Whatever nests (a view bound inside a query, an EXEC
// inside a procedure) holds a NestingScope on the session's NestingLevel for
// as long as it is inside.
#pragma once

#include <string>

#include "engine/common/errors.h"

namespace orv::engine {

inline constexpr int kMaxNestingLevel = 32;

struct NestingLevel {
  int level = 0;
};

class NestingScope {
 public:
  explicit NestingScope(NestingLevel& nesting, int line = 0) : nesting_(nesting) {
    if (nesting_.level >= kMaxNestingLevel) {
      Throw(ErrorCode::kNestingLevelExceeded, {std::to_string(kMaxNestingLevel)}, line);
    }
    ++nesting_.level;
  }
  ~NestingScope() { --nesting_.level; }
  NestingScope(const NestingScope&) = delete;
  NestingScope& operator=(const NestingScope&) = delete;

 private:
  NestingLevel& nesting_;
};

}  // namespace orv::engine
