// The rows a column-at-a-time store takes, a block at a time, as positions
// in the tables their values come from: a table's kept rows, or the rows of
// a chain of joins as one position a table each (Column::kNoRow where an
// outer join found no row). Values a column is not read from come from Row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/execution/exec_context.h"
#include "engine/planner/plan.h"
#include "engine/storage/column.h"
#include "engine/storage/table.h"

namespace orv::engine {

class PositionSource {
 public:
  virtual ~PositionSource() = default;
  // How many tables the positions are of: one, or one per table of a chain.
  virtual size_t Tables() const = 0;
  // Moves to the next block and returns its row count, 0 after the last.
  // With `exact` false the block's rows are only candidates (a filter failed
  // on the block): each must be tested with Keeps, row by row.
  virtual size_t Next(bool& exact) = 0;
  // The column that position `position` of the source's rows reads, with the
  // table whose positions locate its rows; null for any other position.
  virtual const Column* ColumnAt(size_t position, size_t& table) const = 0;
  // The table whose rows table `table`'s positions locate; null for rows a join stored.
  virtual const Table* TableAt(size_t table) const = 0;
  // The table whose row numbers position `position` of the source's rows
  // holds (a scan's row ids, which UPDATE and DELETE read); false for any
  // other position.
  virtual bool RowNumbersAt(size_t position, size_t& table) const = 0;
  // Whether a row of table `table` may be missing (Column::kNoRow): a table
  // an outer join reaches.
  virtual bool MayBeMissing(size_t table) const = 0;
  // The block's positions in table `table`.
  virtual const uint32_t* Positions(size_t table) const = 0;
  // Row `k` of the block, holding every value the plan reads (`whole`) or
  // those Need asked for; valid until the next call.
  virtual const Value* Row(size_t k, bool whole) = 0;
  // Whether the filters keep a row of an inexact block.
  virtual bool Keeps(const Value* row) = 0;
  // Row, not whole, need hold only the positions flagged in `positions`
  // (besides what the filters read).
  virtual void Need(const std::vector<uint8_t>& positions) = 0;
};

// Flags in `read` the positions of the row that `expr` reads; a subquery
// may read any, so it flags them all.
void MarkRead(const BoundExpr& expr, std::vector<uint8_t>& read);

// The kept rows of `plan` when it is a scan under filters (or none); else null.
std::unique_ptr<PositionSource> ScanPositions(const PlanNode& plan, ExecContext& context);
// The rows of `plan` when it is a left-deep chain of inner and left joins on
// columns, with no residual condition, of a scan with stored tables; else
// null. They come in the order the joins would hand them on one by one.
// `outer` is the row a correlated subquery's plan reads, or null.
std::unique_ptr<PositionSource> JoinPositions(const PlanNode& plan, ExecContext& context, const EvalRow* outer);
// The rows of `plan` as one of the two above gives them; else null.
std::unique_ptr<PositionSource> PlanPositions(const PlanNode& plan, ExecContext& context);

}  // namespace orv::engine
