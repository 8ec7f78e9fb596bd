// The registry of built-in procedures: a map filled once at start-up.
#include "engine/execution/builtin_procedures.h"

#include <unordered_map>

#include "engine/catalog/names.h"

namespace orv::engine {
namespace {

std::unordered_map<std::string, BuiltinProcedure>& Registry() {
  static std::unordered_map<std::string, BuiltinProcedure> registry;
  return registry;
}

}  // namespace

void RegisterBuiltinProcedure(std::string name, BuiltinProcedure procedure) {
  Registry()[NameKey(name)] = std::move(procedure);
}

const BuiltinProcedure* FindBuiltinProcedure(std::string_view name) {
  auto it = Registry().find(NameKey(name));
  return it == Registry().end() ? nullptr : &it->second;
}

}  // namespace orv::engine
