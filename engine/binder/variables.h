// The local variables of one batch or procedure call: @name, its declared
// type and current value (a table variable holds its table instead). Values
// keep their own copy of their text, so they outlive the statement that set
// them. Names compare without regard to case.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/types.h"
#include "engine/common/value.h"
#include "engine/storage/table.h"

namespace orv::engine {

struct Variable {
  std::string name;  // with its @
  DataType type;
  Value value;
  std::shared_ptr<Table> table;  // set for a table variable

  // Stores `v`, already of the variable's type.
  void Assign(const Value& v);

 private:
  std::string text_;
};

class Variables {
 public:
  // SCOPE_IDENTITY(): the last identity value inserted in this batch or procedure.
  std::optional<int64_t> scope_identity;

  Variable* Find(std::string_view name);
  // A new variable holding NULL; the parser has already refused duplicates.
  Variable& Add(std::string name, const DataType& type);

 private:
  std::vector<std::unique_ptr<Variable>> list_;  // stable addresses: bound expressions point at values
};

}  // namespace orv::engine
