// Base tables and views of a Database.
#include "engine/catalog/catalog.h"

#include "engine/catalog/names.h"
#include "engine/common/errors.h"

namespace orv::engine {

std::shared_ptr<Table> Catalog::FindTable(std::string_view name) const {
  auto it = tables_.find(NameKey(name));
  return it == tables_.end() ? nullptr : it->second;
}

const ViewDefinition* Catalog::FindView(std::string_view name) const {
  auto it = views_.find(NameKey(name));
  return it == views_.end() ? nullptr : &it->second;
}

void Catalog::CheckFree(std::string_view name) const {
  if (FindTable(name) || FindView(name)) Throw(ErrorCode::kObjectAlreadyExists, {name});
}

void Catalog::AddTable(std::shared_ptr<Table> table) {
  CheckFree(table->name());
  table->set_object_id(NewObjectId());
  std::string key = NameKey(table->name());
  tables_.emplace(std::move(key), std::move(table));
}

void Catalog::AddView(ViewDefinition view) {
  CheckFree(view.name);
  view.object_id = NewObjectId();
  std::string key = NameKey(view.name);
  views_.emplace(std::move(key), std::move(view));
}

bool Catalog::DropTable(std::string_view name) { return tables_.erase(NameKey(name)) > 0; }

bool Catalog::DropView(std::string_view name) { return views_.erase(NameKey(name)) > 0; }

void Catalog::PutBackTable(std::shared_ptr<Table> table) {
  std::string key = NameKey(table->name());
  tables_.emplace(std::move(key), std::move(table));
}

void Catalog::PutBackView(ViewDefinition view) {
  std::string key = NameKey(view.name);
  views_.emplace(std::move(key), std::move(view));
}

std::optional<int64_t> Catalog::ObjectId(std::string_view name) const {
  if (auto table = FindTable(name)) return table->object_id();
  if (const ViewDefinition* view = FindView(name)) return view->object_id;
  return std::nullopt;
}

int64_t Catalog::NewObjectId() {
  static std::atomic<int64_t> next{1000};
  return next.fetch_add(1);
}

}  // namespace orv::engine
