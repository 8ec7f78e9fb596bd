// UPDATE's rows by position; see update_positions.h.
#include "engine/execution/update_positions.h"

#include "engine/execution/evaluate.h"
#include "engine/planner/planner.h"

namespace orv::engine {

std::unique_ptr<TargetPositions> TargetPositions::Make(const BoundDmlTarget& target,
                                                       const std::vector<BoundExprPtr>& values, ExecContext& context) {
  PlanPtr plan = PlanDmlRows(*target.from, target.where.get(), context.subquery_plans);
  std::unique_ptr<PositionSource> source = PlanPositions(*plan, context);
  size_t target_table = 0;
  if (!source || !source->RowNumbersAt(target.row_id_column, target_table)) return nullptr;
  std::unique_ptr<TargetPositions> rows(new TargetPositions(std::move(plan), std::move(source), values, context));
  rows->target_table_ = target_table;
  std::vector<uint8_t> read(rows->plan_->width);
  for (const BoundExprPtr& value : values) {
    Item item;
    const auto* column = value->As<bound::Column>();
    if (column && column->depth == 0) {
      item.column = rows->source_->ColumnAt(static_cast<size_t>(column->position), item.table);
    }
    if (item.column && item.column->type() != value->type) item.column = nullptr;
    if (!item.column) MarkRead(*value, read);
    rows->items_.push_back(item);
    rows->read_.emplace_back();
  }
  rows->source_->Need(read);
  return rows;
}

size_t TargetPositions::Next() {
  const size_t count = source_->Next(exact_);
  targets_ = source_->Positions(target_table_);
  row_of_ = SIZE_MAX;
  // A joined table's rows lie scattered: a tight loop that only reads them
  // keeps many misses in flight, which the work done per row would not.
  for (size_t a = 0; a < items_.size(); ++a) {
    const Item& item = items_[a];
    if (!item.column) continue;
    const uint32_t* rows = source_->Positions(item.table);
    std::vector<Value>& values = read_[a];
    values.resize(count);
    for (size_t k = 0; k < count; ++k) {
      if (rows[k] == Column::kNoRow) {
        values[k] = Value();  // NULL as the joins pad a missing row
      } else {
        item.column->Read(rows[k], values[k]);
      }
    }
  }
  return count;
}

const Value* TargetPositions::RowOf(size_t k) {
  if (row_of_ != k) {
    // A block the WHERE failed on is tested on whole rows, which the items then read.
    row_ = source_->Row(k, !exact_);
    row_of_ = k;
  }
  return row_;
}

bool TargetPositions::Keeps(size_t k) { return exact_ || source_->Keeps(RowOf(k)); }

Value TargetPositions::ValueOf(size_t a, size_t k) {
  if (!items_[a].column) return Evaluate(*values_[a], EvalRow{RowOf(k), nullptr}, context_);
  return read_[a][k];
}

}  // namespace orv::engine
