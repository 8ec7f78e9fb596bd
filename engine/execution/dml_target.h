// The rows UPDATE and DELETE act on: the target table (named directly or
// through an alias of the FROM clause; a target the FROM clause does not name
// joins it as one more table, as in SQL Server) and, for each row of the
// FROM ... WHERE result, the position of the target row it came from.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "engine/binder/binder.h"
#include "engine/execution/exec_context.h"

namespace orv::engine {

struct DmlTarget {
  Scope scope;                   // the FROM clause's names, for SET expressions
  std::shared_ptr<Table> table;
  std::string exposed;           // the target's name in the FROM clause
  size_t offset = 0;             // first column of the target in the rows
  Relation rows;                 // the FROM ... WHERE rows
  std::vector<int64_t> row_ids;  // per row: the target row, or -1 (outer join padding)
};

// Binds FROM (or the target alone) and WHERE and runs them. `after_bind` is
// called once names are bound and before the rows are read, to bind the SET
// expressions against `scope`; it returns nothing.
DmlTarget SelectTargetRows(const ast::Name& target, const ast::TableRef* from, const ast::Expr* where, int line,
                           Binder& binder, ExecContext& context, const std::function<void(DmlTarget&)>& after_bind);

}  // namespace orv::engine
