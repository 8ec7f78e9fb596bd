// The catalog views (sys.tables, sys.columns, sys.objects, sys.views,
// sys.types, sys.schemas, INFORMATION_SCHEMA.TABLES / COLUMNS / VIEWS), each
// computed from the catalog as a fresh read-only table when a query names it,
// and the listing of tables and views with their columns they are built on.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/binder/binder.h"

namespace orv::engine {

struct RelationColumn {
  std::string name;
  DataType type;
  bool nullable = true;
  bool identity = false;
  std::string default_text;  // as written; empty: none
};

// A table or view with its columns (a view's as its query types them).
struct RelationInfo {
  CatalogObject object;
  std::vector<RelationColumn> columns;
  std::string definition;  // a view's text
};

// The database's tables and views, or with `tempdb` the session's temporary
// tables, ordered by name.
std::vector<RelationInfo> ListRelations(Binder& binder, BindContext& context, bool tempdb);

// The rows of the catalog view `name` names (two or three parts: [db.]sys.x),
// or null when it names none. Raises 208 for an unknown view of sys or
// INFORMATION_SCHEMA.
std::shared_ptr<Table> BuildCatalogView(const ast::Name& name, Binder& binder, BindContext& context, int line);

}  // namespace orv::engine
