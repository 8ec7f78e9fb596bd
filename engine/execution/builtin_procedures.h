// Procedures the engine provides itself (the catalog's sp_help and its kin),
// found by EXEC before the database's own. A built-in receives its arguments
// evaluated, in the order written (named ones keep their names), and adds
// its result sets and messages to the batch's result.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/catalog/catalog.h"
#include "engine/catalog/session_state.h"
#include "engine/common/value.h"
#include "engine/execution/batch_result.h"

namespace orv::engine {

struct BuiltinArgument {
  std::string parameter;  // "@name" when passed by name; empty when positional
  Value value;            // valid for the call only
};

struct BuiltinCall {
  Catalog& catalog;
  SessionState& session;
  BatchResult& result;
  const std::vector<BuiltinArgument>& arguments;
  int line = 0;
};

// Returns the procedure's return status.
using BuiltinProcedure = std::function<int(BuiltinCall&)>;

// Registers `procedure` under `name` (compared without regard to case).
// Registration happens at start-up, before any session runs.
void RegisterBuiltinProcedure(std::string name, BuiltinProcedure procedure);
const BuiltinProcedure* FindBuiltinProcedure(std::string_view name);

}  // namespace orv::engine
