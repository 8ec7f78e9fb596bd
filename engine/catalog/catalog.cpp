// Base tables and views of a Database.
#include "engine/catalog/catalog.h"

#include "engine/catalog/names.h"
#include "engine/common/datetime.h"
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
  if (FindTable(name) || FindView(name) || routines_.Find(name)) Throw(ErrorCode::kObjectAlreadyExists, {name});
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
  view.create_date = datetime::Now();
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
  auto object = FindObject(name);
  return object ? std::optional<int64_t>(object->object_id) : std::nullopt;
}

namespace {

CatalogObject TableObject(const Table& table) {
  return {table.name(), table.object_id(), "U", "USER_TABLE", table.create_date(), table.modify_date()};
}
CatalogObject ViewObject(const ViewDefinition& view) {
  return {view.name, view.object_id, "V", "VIEW", view.create_date, view.create_date};
}
CatalogObject ProcedureObject(const ProcedureDefinition& procedure) {
  return {procedure.name, procedure.object_id, "P", "SQL_STORED_PROCEDURE", procedure.create_date,
          procedure.modify_date};
}

}  // namespace

std::vector<CatalogObject> Catalog::Objects() const {
  std::vector<CatalogObject> objects;
  for (const auto& [key, table] : tables_) objects.push_back(TableObject(*table));
  for (const auto& [key, view] : views_) objects.push_back(ViewObject(view));
  for (const auto& [key, procedure] : routines_.All()) objects.push_back(ProcedureObject(procedure));
  return objects;
}

std::optional<CatalogObject> Catalog::FindObject(std::string_view name) const {
  if (auto table = FindTable(name)) return TableObject(*table);
  if (const ViewDefinition* view = FindView(name)) return ViewObject(*view);
  if (const ProcedureDefinition* procedure = routines_.Find(name)) return ProcedureObject(*procedure);
  return std::nullopt;
}

std::vector<std::shared_ptr<Table>> Catalog::Tables() const {
  std::vector<std::shared_ptr<Table>> tables;
  for (const auto& [key, table] : tables_) tables.push_back(table);
  return tables;
}

std::vector<const ViewDefinition*> Catalog::Views() const {
  std::vector<const ViewDefinition*> views;
  for (const auto& [key, view] : views_) views.push_back(&view);
  return views;
}

int64_t Catalog::NewObjectId() {
  static std::atomic<int64_t> next{1000};
  return next.fetch_add(1);
}

}  // namespace orv::engine
