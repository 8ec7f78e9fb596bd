// The stored rows of a join's build side. A table scan (under filters, or
// not, and seen through a projection that only passes its columns on) keeps
// only the positions of the rows it passes and reads a row's
// values from the table's columns when a pair is made, so a wide right input
// is never copied whole, 32 bytes a value, before the join starts; any other
// input is stored as a Relation.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/execution/exec_context.h"
#include "engine/execution/relation.h"
#include "engine/execution/row_copier.h"
#include "engine/planner/plan.h"

namespace orv::engine {

class BuildRows {
 public:
  // Runs `plan`, whose rows go at `offset` of the joined row. `key_exprs`
  // are the expressions the join will evaluate on each stored row.
  BuildRows(const PlanNode& plan, size_t offset, const std::vector<BoundExprPtr>& key_exprs, ExecContext& context,
            const EvalRow* outer);

  size_t size() const { return scan_ ? row_ids_.size() : rows_.rows; }
  // The scan whose table holds the rows (null: they are stored), and the table position of row `r`.
  const ScanPlan* scan() const { return scan_; }
  uint32_t Position(size_t r) const { return row_ids_[r]; }
  // Whether row r is at position r of its table, every row (kept by no filter) or stored.
  bool PositionIsRow() const { return !scan_ || row_ids_.size() == scan_->table->row_count(); }
  // The table column that position `position` of the build side's row
  // holds, read at Position(r); null when the rows are stored, or for a row id.
  const Column* ColumnAt(size_t position) const {
    if (!scan_ || passed_[position] >= scan_->table->column_count()) return nullptr;
    return &scan_->table->column(passed_[position]);
  }

  // Writes the live values of row `r` into the joined row `wide`.
  void CopyTo(size_t r, Value* wide) const {
    if (!scan_) return copy_(rows_.Row(r), wide);
    const size_t row = row_ids_[r];
    for (const LiveColumn& live : columns_) {
      if (live.column) {
        live.column->Read(row, wide[live.position]);
      } else {
        wide[live.position] = Value::Integer(TypeId::BigInt, static_cast<int64_t>(row));
      }
    }
  }
  // The values the join's keys read of row `r`, at their positions in a row
  // of the build side's own width (the other positions are left as they are).
  const Value* KeyRow(size_t r, Value* scratch) const;
  void Prefetch(size_t r) const {
    if (!scan_) return __builtin_prefetch(rows_.Row(r));
    const size_t row = row_ids_[r];
    for (const LiveColumn& live : columns_) {
      if (live.column) live.column->Prefetch(row);
    }
  }

 private:
  struct LiveColumn {
    const Column* column;  // null: the scan's row id
    size_t position;       // in the joined row
  };

  bool FromTable(const PlanNode& plan, size_t offset, const std::vector<BoundExprPtr>& key_exprs,
                 ExecContext& context, const EvalRow* outer);

  const ScanPlan* scan_ = nullptr;
  std::vector<uint32_t> row_ids_;
  std::vector<LiveColumn> columns_;
  std::vector<size_t> passed_;       // per position of the build side's row, the scan row's (see ScanUnderProjection)
  std::vector<size_t> key_columns_;  // positions the keys read, in the build side's row
  Relation rows_;
  RowCopier copy_;
};

}  // namespace orv::engine
