// Row positions instead of copies for a join's build side; see build_rows.h.
#include "engine/execution/build_rows.h"

#include <limits>

#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"
#include "engine/execution/scan_selector.h"

namespace orv::engine {
namespace {

// Adds the positions of the current row that `expr` reads; false when it
// holds a subquery, whose reads are not followed here.
bool AddColumnsRead(const BoundExpr& expr, std::vector<size_t>& out) {
  if (SubqueryOf(expr)) return false;
  if (const auto* column = expr.As<bound::Column>()) {
    if (column->depth == 0) out.push_back(static_cast<size_t>(column->position));
    return true;
  }
  bool known = true;
  ForEachChild(expr, [&](const BoundExprPtr& child) { known = AddColumnsRead(*child, out) && known; });
  return known;
}

// The text column of `table` that `filter` matches against a compiled LIKE
// pattern, which is then tested on the stored text, with no row made; null
// for any other filter.
const Column* LikeColumn(const BoundExpr& filter, const Table& table) {
  const auto* like = filter.As<bound::Like>();
  const auto* column = like && like->compiled ? like->value->As<bound::Column>() : nullptr;
  if (!column || column->depth != 0 || static_cast<size_t>(column->position) >= table.column_count()) return nullptr;
  const Column& text = table.column(static_cast<size_t>(column->position));
  return text.storage() == Column::Storage::String && text.type() == like->value->type ? &text : nullptr;
}

}  // namespace

BuildRows::BuildRows(const PlanNode& plan, size_t offset, const std::vector<BoundExprPtr>& key_exprs,
                     ExecContext& context, const EvalRow* outer)
    : rows_(plan.width), copy_(plan, offset) {
  if (!FromTable(plan, offset, key_exprs, context, outer)) rows_ = ExecutePlan(plan, context, outer);
}

bool BuildRows::FromTable(const PlanNode& plan, size_t offset, const std::vector<BoundExprPtr>& key_exprs,
                          ExecContext& context, const EvalRow* outer) {
  std::vector<const BoundExpr*> filters;  // outermost first
  const ScanPlan* found = ScanUnderProjection(plan, filters, passed_);
  if (found == nullptr) return false;
  const ScanPlan& scan = *found;
  const Table& table = *scan.table;
  if (table.row_count() > std::numeric_limits<uint32_t>::max()) return false;
  for (const BoundExprPtr& key : key_exprs) {
    if (!AddColumnsRead(*key, key_columns_)) return false;
  }
  for (size_t position : key_columns_) {
    if (passed_[position] == kNotPassed) return false;
  }
  scan_ = &scan;
  for (size_t p = 0; p < passed_.size(); ++p) {
    const size_t c = passed_[p];
    if (c < table.column_count() && scan.read[c]) columns_.push_back(LiveColumn{&table.column(c), offset + p});
    if (c == table.column_count() && scan.row_ids) columns_.push_back(LiveColumn{nullptr, offset + p});
  }
  // The scan's rows in table order; the filters test them innermost first,
  // as nested filter operators would.
  if (filters.empty() && scan.predicates.empty()) row_ids_.reserve(table.row_count());
  std::vector<const Column*> texts;  // per filter, innermost first: the column a LIKE tests, or null
  for (auto it = filters.rbegin(); it != filters.rend(); ++it) texts.push_back(LikeColumn(**it, table));
  ScanRow row(scan);
  ForEachKeptRow(scan, context, outer, [&](size_t r) {
    bool passes = true;
    const Value* values = nullptr;
    for (size_t f = 0; passes && f < texts.size(); ++f) {
      const BoundExpr& filter = *filters[filters.size() - 1 - f];
      if (texts[f]) {
        passes = !texts[f]->IsNull(r) && CompiledLikeHolds(*filter.As<bound::Like>(), texts[f]->Text(r));
        continue;
      }
      if (!values) values = row.Read(r);
      passes = IsTrue(Evaluate(filter, EvalRow{values, outer}, context));
    }
    if (passes) row_ids_.push_back(static_cast<uint32_t>(r));
  });
  return true;
}

const Value* BuildRows::KeyRow(size_t r, Value* scratch) const {
  if (!scan_) return rows_.Row(r);
  const size_t row = row_ids_[r];
  const Table& table = *scan_->table;
  for (size_t position : key_columns_) {
    const size_t c = passed_[position];
    if (c < table.column_count()) {
      table.column(c).Read(row, scratch[position]);
    } else {
      scratch[position] = Value::Integer(TypeId::BigInt, static_cast<int64_t>(row));
    }
  }
  return scratch;
}

}  // namespace orv::engine
