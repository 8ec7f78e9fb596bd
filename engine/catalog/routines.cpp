// Procedures by name, without regard to case.
#include "engine/catalog/routines.h"

#include "engine/catalog/names.h"

namespace orv::engine {

const ProcedureDefinition* Routines::Find(std::string_view name) const {
  auto it = procedures_.find(NameKey(name));
  return it == procedures_.end() ? nullptr : &it->second;
}

void Routines::Put(ProcedureDefinition procedure) {
  std::string key = NameKey(procedure.name);
  procedures_[key] = std::move(procedure);
}

bool Routines::Drop(std::string_view name) { return procedures_.erase(NameKey(name)) > 0; }

}  // namespace orv::engine
