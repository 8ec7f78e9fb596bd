// The system procedures the engine runs itself (sp_help, sp_tables,
// sp_columns), found by name. EXEC calls FindBuiltinProcedure; each
// procedure appends its result sets and messages to the batch's output.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "engine/binder/binder.h"
#include "engine/execution/batch_result.h"

namespace orv::engine {

// One argument as EXEC passed it: by position (empty name) or as @name = value.
struct ProcedureArgument {
  std::string name;  // "@objname", or empty
  Value value;
};

struct ProcedureCall {
  std::span<const ProcedureArgument> arguments;
  Binder& binder;
  BindContext& context;
  BatchResult& result;
  int line = 0;

  // The argument at `position` or named `name` (any case), or null when absent or NULL.
  const Value* Argument(size_t position, std::string_view name) const;
};

using BuiltinProcedure = void (*)(const ProcedureCall& call);

// Null when `name` is no built-in procedure.
BuiltinProcedure FindBuiltinProcedure(std::string_view name);

namespace detail {
// The families of built-in procedures, each in its own file.
struct ProcedureEntry {
  std::string_view name;  // lower case
  BuiltinProcedure run;
};
std::span<const ProcedureEntry> CatalogProcedures();
}  // namespace detail

}  // namespace orv::engine
