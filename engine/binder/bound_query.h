// A bound query: its operator tree and the columns it returns.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/planner/plan.h"

namespace orv::engine {

struct OutputColumn {
  std::string name;  // empty for an unnamed expression
  DataType type;
  bool nullable = true;
  // Set when the column is a bare reference to an identity column, which
  // SELECT INTO carries over to the new table.
  std::optional<Identity> identity;
};

struct BoundQuery {
  PlanPtr plan;
  std::vector<OutputColumn> columns;
  bool reads_outer = false;  // correlated: must run again for every outer row
};

}  // namespace orv::engine
