// Temporary tables of a session.
#include "engine/catalog/session_state.h"

#include "engine/catalog/catalog.h"
#include "engine/catalog/names.h"
#include "engine/common/errors.h"

namespace orv::engine {

std::shared_ptr<Table> SessionState::FindTemp(std::string_view name) const {
  auto it = temp_tables_.find(NameKey(name));
  return it == temp_tables_.end() ? nullptr : it->second;
}

void SessionState::AddTemp(std::shared_ptr<Table> table) {
  if (FindTemp(table->name())) Throw(ErrorCode::kObjectAlreadyExists, {table->name()});
  table->set_object_id(Catalog::NewObjectId());
  std::string key = NameKey(table->name());
  temp_tables_.emplace(std::move(key), std::move(table));
}

void SessionState::PutBackTemp(std::shared_ptr<Table> table) {
  std::string key = NameKey(table->name());
  temp_tables_.emplace(std::move(key), std::move(table));
}

bool SessionState::DropTemp(std::string_view name) { return temp_tables_.erase(NameKey(name)) > 0; }

std::vector<std::shared_ptr<Table>> SessionState::Temps() const {
  std::vector<std::shared_ptr<Table>> tables;
  for (const auto& [key, table] : temp_tables_) tables.push_back(table);
  return tables;
}

}  // namespace orv::engine
