// The objects one Database shares between its sessions: base tables and
// views, found by name without regard to case. Sessions take the database
// lock (`lock()`) around each statement (shared to read, exclusive to change
// a base object, kept to COMMIT inside a transaction); the catalog itself does
// no locking.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/catalog/routines.h"
#include "engine/catalog/database_lock.h"
#include "engine/catalog/durability.h"
#include "engine/storage/table.h"

namespace orv::engine {

// A column of a view as it was bound when the view was created.
struct ViewColumn {
  std::string name;
  DataType type;
  bool nullable = true;
};

// A view is kept as its text and bound again at every use, so it sees the
// tables as they are when the query runs. Its columns and nesting as of its
// creation let a view over it be created without expanding the whole chain.
struct ViewDefinition {
  std::string name;
  std::vector<std::string> columns;  // empty: the query's own names
  std::string query_text;
  int64_t object_id = 0;
  int64_t create_date = 0;  // DATETIME ticks
  std::vector<ViewColumn> shape;
  int nesting = 1;  // this view and the deepest chain of views below it
};

// One object as the catalog views and OBJECT_ID see it: its type is SQL
// Server's code ("U" a table, "V" a view) and description ("USER_TABLE").
struct CatalogObject {
  std::string name;
  int64_t object_id = 0;
  std::string_view type;
  std::string_view type_desc;
  int64_t create_date = 0;  // DATETIME ticks
  int64_t modify_date = 0;
};

class Catalog {
 public:
  // Sessions' statements and transactions lock this one (see transactions.h).
  DatabaseLock& lock() { return lock_; }
  // Where committed changes go when the database lives in a file; null in memory.
  Durability* durability() const { return durability_; }
  void set_durability(Durability* durability) { durability_ = durability; }

  std::shared_ptr<Table> FindTable(std::string_view name) const;
  const ViewDefinition* FindView(std::string_view name) const;
  // Raises 2714 when a table or view of that name exists.
  void AddTable(std::shared_ptr<Table> table);
  void AddView(ViewDefinition view);
  bool DropTable(std::string_view name);
  bool DropView(std::string_view name);
  // Undoing a DROP: the object comes back under its old id.
  void PutBackTable(std::shared_ptr<Table> table);
  void PutBackView(ViewDefinition view);
  const std::unordered_map<std::string, std::shared_ptr<Table>>& tables() const { return tables_; }
  const std::unordered_map<std::string, ViewDefinition>& views() const { return views_; }
  std::optional<int64_t> ObjectId(std::string_view name) const;
  // Every object of every kind, in no particular order, and one by name. A
  // new kind of object (procedures, functions) is listed in these two.
  std::vector<CatalogObject> Objects() const;
  std::optional<CatalogObject> FindObject(std::string_view name) const;
  // Base tables and views by name, for the catalog views.
  std::vector<std::shared_ptr<Table>> Tables() const;
  std::vector<const ViewDefinition*> Views() const;

  // Ids are unique across the process so that a temporary table never shares
  // an id with a base object.
  static int64_t NewObjectId();

  // Procedures; CheckFree and ObjectId see them too.
  Routines& routines() { return routines_; }
  const Routines& routines() const { return routines_; }
  // Raises 2714 when a table, view or procedure of that name exists.
  void CheckFree(std::string_view name) const;

  // The threads a query may use when it names no MAXDOP of its own (ALTER
  // DATABASE SCOPED CONFIGURATION); 0 for as many as the machine has cores.
  int max_dop() const { return max_dop_; }
  void set_max_dop(int threads) { max_dop_ = threads; }

 private:
  DatabaseLock lock_;
  Durability* durability_ = nullptr;
  std::unordered_map<std::string, std::shared_ptr<Table>> tables_;
  std::unordered_map<std::string, ViewDefinition> views_;
  Routines routines_;
  int max_dop_ = 0;
};

}  // namespace orv::engine
