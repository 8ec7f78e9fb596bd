// Name scopes of the binder: the tables a query's FROM clause exposes, each
// with its columns and their position in the query's rows, and the link to
// the enclosing query for correlated names.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/binder/bound_query.h"
#include "engine/common/types.h"
#include "engine/storage/table.h"

namespace orv::engine {

struct ScopeColumn {
  std::string name;
  DataType type;
  bool nullable = true;
  std::optional<Identity> identity;
};

struct ScopeTable {
  std::string exposed;                 // the alias, or the table's own name
  std::vector<ScopeColumn> columns;
  size_t offset = 0;                   // position of the first column in the row
  std::shared_ptr<Table> table;        // null for derived tables and views
  BoundBaseTable* base = nullptr;      // where `table` is bound: told which columns are read

  // Records that column `index` is read, so the scan fetches it.
  void MarkRead(size_t index) const {
    if (base) base->read[index] = 1;
  }
};

struct Scope {
  std::vector<ScopeTable> tables;
  Scope* parent = nullptr;     // where names not found here are looked up (depth + 1)
  Scope* enclosing = nullptr;  // the query this one is written in; marks correlation
  bool reads_outer = false;    // some name resolved beyond this scope
};

}  // namespace orv::engine
