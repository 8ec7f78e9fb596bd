// The kept rows of one table as a position source; see position_source.h.
#include <algorithm>
#include <vector>

#include "engine/common/errors.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/position_source.h"
#include "engine/execution/scan_selector.h"

namespace orv::engine {
namespace {

class ScanSource : public PositionSource {
 public:
  ScanSource(const ScanPlan& scan, std::vector<const BoundExpr*> filters, ExecContext& context)
      : scan_(scan), filters_(std::move(filters)), context_(context), selector_(scan, context, nullptr), reader_(scan) {}

  size_t Tables() const override { return 1; }
  size_t Next(bool& exact) override {
    const size_t rows = scan_.table->row_count();
    while (begin_ < rows) {
      const size_t count = selector_.Select(begin_, std::min(begin_ + ScanSelector::kBlock, rows), scanned_);
      begin_ += ScanSelector::kBlock;
      exact = true;
      const size_t kept = Filter(count, exact);
      if (kept > 0) return kept;
    }
    return 0;
  }
  const Column* ColumnAt(size_t position, size_t& table) const override {
    table = 0;
    return position < scan_.table->column_count() ? &scan_.table->column(position) : nullptr;
  }
  const Table* TableAt(size_t) const override { return scan_.table.get(); }
  bool RowNumbersAt(size_t position, size_t& table) const override {
    table = 0;
    return scan_.row_ids && position == scan_.table->column_count();
  }
  bool MayBeMissing(size_t) const override { return false; }
  const uint32_t* Positions(size_t) const override { return rows_; }
  const Value* Row(size_t k, bool) override { return reader_.Read(rows_[k]); }
  void Need(const std::vector<uint8_t>&) override {}  // a scan's row is read whole
  bool Keeps(const Value* row) override {
    for (const BoundExpr* filter : filters_) {
      if (!IsTrue(Evaluate(*filter, EvalRow{row, nullptr}, context_))) return false;
    }
    return true;
  }

 private:
  // The scanned rows the filters keep; all of them, inexact, when a filter fails on one.
  size_t Filter(size_t count, bool& exact) {
    rows_ = scanned_;
    if (filters_.empty()) return count;
    size_t kept = 0;
    try {
      for (size_t k = 0; k < count; ++k) {
        kept_[kept] = scanned_[k];
        kept += static_cast<size_t>(Keeps(reader_.Read(scanned_[k])));
      }
    } catch (const SqlError&) {
      exact = false;  // the row path raises it after the rows before it
      return count;
    }
    rows_ = kept_;
    return kept;
  }

  const ScanPlan& scan_;
  const std::vector<const BoundExpr*> filters_;  // innermost first
  ExecContext& context_;
  ScanSelector selector_;
  ScanRow reader_;
  size_t begin_ = 0;
  uint32_t scanned_[ScanSelector::kBlock];
  uint32_t kept_[ScanSelector::kBlock];
  const uint32_t* rows_ = scanned_;
};

}  // namespace

void MarkRead(const BoundExpr& expr, std::vector<uint8_t>& read) {
  if (SubqueryOf(expr)) return std::fill(read.begin(), read.end(), 1);
  if (const auto* column = expr.As<bound::Column>()) {
    if (column->depth == 0 && static_cast<size_t>(column->position) < read.size()) read[column->position] = 1;
    return;
  }
  ForEachChild(expr, [&](const BoundExprPtr& child) { MarkRead(*child, read); });
}

std::unique_ptr<PositionSource> ScanPositions(const PlanNode& plan, ExecContext& context) {
  std::vector<const BoundExpr*> filters;
  const ScanPlan* scan = ScanUnderFilters(plan, filters);
  if (scan == nullptr) return nullptr;
  std::reverse(filters.begin(), filters.end());
  return std::make_unique<ScanSource>(*scan, std::move(filters), context);
}

}  // namespace orv::engine
