// The rows UPDATE acts on, read as positions (see position_source.h) when
// its FROM ... WHERE is a table or a chain of joins read that way: the
// target row of each joined row, and the value of each SET item, a plain
// column read straight from its table, any other evaluated on the values it
// reads alone. The rows come in the order the row path streams them, and a
// block the WHERE failed on is tested a row at a time, so the first error
// raised is the row path's.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/binder/binder.h"
#include "engine/execution/exec_context.h"
#include "engine/execution/position_source.h"

namespace orv::engine {

class TargetPositions {
 public:
  // Null when the rows of `target` are not read by position.
  static std::unique_ptr<TargetPositions> Make(const BoundDmlTarget& target, const std::vector<BoundExprPtr>& values,
                                               ExecContext& context);

  // Moves to the next block of joined rows and returns its count, 0 after the last.
  size_t Next();
  // Whether the WHERE keeps joined row `k` (it is only in doubt in a block it failed on).
  bool Keeps(size_t k);
  // The target row of joined row `k`, or -1 (an outer join's missing row).
  int64_t Target(size_t k) const {
    const uint32_t row = targets_[k];
    return row == Column::kNoRow ? -1 : static_cast<int64_t>(row);
  }
  // SET item `a`'s value for joined row `k`, before it is converted for its column.
  Value ValueOf(size_t a, size_t k);

 private:
  // A SET item read from a column (the table whose positions locate its
  // rows), or evaluated (no column).
  struct Item {
    const Column* column = nullptr;
    size_t table = 0;
  };
  TargetPositions(PlanPtr plan, std::unique_ptr<PositionSource> source, const std::vector<BoundExprPtr>& values,
                  ExecContext& context)
      : plan_(std::move(plan)), source_(std::move(source)), values_(values), context_(context) {}
  const Value* RowOf(size_t k);

  PlanPtr plan_;
  std::unique_ptr<PositionSource> source_;
  const std::vector<BoundExprPtr>& values_;
  ExecContext& context_;
  size_t target_table_ = 0;
  std::vector<Item> items_;
  bool exact_ = true;
  const uint32_t* targets_ = nullptr;
  std::vector<std::vector<Value>> read_;  // per SET item read from a column: its value of each joined row of the block
  size_t row_of_ = SIZE_MAX;  // the joined row `row_` holds
  const Value* row_ = nullptr;
};

}  // namespace orv::engine
