// Rows passed between operators: `rows` rows of `width` values, row-major.
// String values point into the table, the statement's arena or a literal;
// a Relation never owns text.
#pragma once

#include <vector>

#include "engine/common/value.h"

namespace orv::engine {

struct Relation {
  size_t width = 0;
  size_t rows = 0;
  std::vector<Value> cells;

  explicit Relation(size_t w = 0) : width(w) {}
  const Value* Row(size_t row) const { return cells.data() + row * width; }
  void AppendRow(const Value* values) {
    cells.insert(cells.end(), values, values + width);
    ++rows;
  }
};

}  // namespace orv::engine
