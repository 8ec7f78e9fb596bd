// Lookup of the built-in procedures and of their arguments.
#include "engine/execution/builtin_procedures.h"

#include "engine/catalog/names.h"

namespace orv::engine {

const Value* ProcedureCall::Argument(size_t position, std::string_view name) const {
  const Value* found = nullptr;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const ProcedureArgument& a = arguments[i];
    if ((a.name.empty() && i == position) || (!a.name.empty() && NamesEqual(a.name, name))) found = &a.value;
  }
  return found && !found->is_null ? found : nullptr;
}

BuiltinProcedure FindBuiltinProcedure(std::string_view name) {
  // A procedure called as dbo.sp_help or sys.sp_help is the same one.
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(dot + 1);
  for (const detail::ProcedureEntry& entry : detail::CatalogProcedures()) {
    if (NamesEqual(entry.name, name)) return entry.run;
  }
  return nullptr;
}

}  // namespace orv::engine
