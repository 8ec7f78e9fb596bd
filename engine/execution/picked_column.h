// A CASE target column of INSERT ... SELECT picked a column at a time: each
// row's arm is chosen and its value taken as the arm gives it, where the
// conversion to the column's type would store it unchanged. Picking touches
// nothing but the column's own values, so the columns of a block pick on
// its threads, not row by row on one. A value the conversion would change
// or refuse leaves the slice to the row path, which converts each row in
// order and so raises the row path's first error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/common/value.h"
#include "engine/execution/copied_choice.h"
#include "engine/execution/position_source.h"
#include "engine/storage/table.h"

namespace orv::engine {

class PickedColumn {
 public:
  // `converted` holds, per arm of `choice`, the arm's constant as the
  // column stores it, or nullopt for an arm that reads a column or whose
  // constant the conversion refuses. `choice` must outlive the column.
  PickedColumn(const CopiedChoice& choice, const ColumnSchema& column, std::vector<std::optional<Value>> converted);

  // Picks rows `begin` to `end` of the block `rows` holds, whose arms are
  // `arms` (as the choice picks them); false, at the first row whose value
  // would not be stored as the arm gives it.
  bool Pick(const PositionSource& rows, size_t begin, size_t end, const uint32_t* arms);
  const CopiedChoice& choice() const { return *choice_; }
  // The k-th value of the slice picked last, as the column stores it.
  const Value& operator[](size_t k) const { return values_[k]; }

 private:
  const CopiedChoice* choice_;
  DataType type_;
  bool nullable_;
  std::vector<std::optional<Value>> converted_;
  std::vector<Value> values_;
};

}  // namespace orv::engine
