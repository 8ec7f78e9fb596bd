// The rows of a table scan its predicates keep (see ScanPredicate), found a
// block of rows at a time on the columns' stored numbers: a comparison costs
// a load and a compare a row, with no value built and no call per row.
#pragma once

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "engine/common/interrupt.h"

#include "engine/execution/exec_context.h"

namespace orv::engine {

class ScanSelector {
 public:
  static constexpr size_t kBlock = 2048;

  ScanSelector(const ScanPlan& plan, ExecContext& context, const EvalRow* outer);
  // Writes the positions in [begin, end) that every predicate keeps to `out`
  // (room for end - begin, at most kBlock) and returns their count. The
  // predicates' values are evaluated at the first call.
  size_t Select(size_t begin, size_t end, uint32_t* out);
  // Whether every predicate is tested on the stored numbers alone, touching
  // nothing of the statement's, so that Select may run on another thread.
  // Evaluates the predicates' values.
  bool Typed();

 private:
  // One predicate made ready for the stored numbers of its column.
  struct Test {
    enum class Kind : uint8_t { Integer, Decimal, Float, NoRow, EveryValue, RowByRow };
    const ScanPredicate* predicate = nullptr;
    const Column* column = nullptr;
    Kind kind = Kind::RowByRow;
    CompareOp op = CompareOp::Equal;
    int64_t integer = 0;
    Int128 decimal = 0;
    double real = 0;
  };
  void Prepare();
  Test Ready(const ScanPredicate& predicate) const;
  size_t Keep(const Test& test, uint32_t* rows, size_t count);
  size_t KeepRowByRow(const Test& test, uint32_t* rows, size_t count);

  const ScanPlan& plan_;
  ExecContext& context_;
  const EvalRow* outer_;
  bool prepared_ = false;
  std::vector<Test> tests_;
  std::vector<Value> scratch_;  // a row for the predicates tested row by row
};

// Calls `emit(rows, count)` for the rows in [begin, end) of the scan's
// table its predicates keep, a block of at most kBlock at a time, in table
// order, until it returns false.
// `selector` is the scan's, or null when it has no predicates.
template <typename Emit>
void ForEachKeptBlock(ScanSelector* selector, size_t begin, size_t end, Emit&& emit) {
  uint32_t kept[ScanSelector::kBlock];
  if (!selector) {
    for (size_t first = begin; first < end; first += ScanSelector::kBlock) {
      CheckInterrupt();
      const size_t count = std::min(first + ScanSelector::kBlock, end) - first;
      std::iota(kept, kept + count, static_cast<uint32_t>(first));
      if (!emit(kept, count)) return;
    }
    return;
  }
  for (size_t first = begin; first < end; first += ScanSelector::kBlock) {
    const size_t count = selector->Select(first, std::min(first + ScanSelector::kBlock, end), kept);
    if (count > 0 && !emit(kept, count)) return;
  }
}

template <typename Emit>
void ForEachKeptBlock(const ScanPlan& plan, ExecContext& context, const EvalRow* outer, size_t begin, size_t end,
                      Emit&& emit) {
  if (plan.predicates.empty()) return ForEachKeptBlock(nullptr, begin, end, emit);
  ScanSelector selector(plan, context, outer);
  ForEachKeptBlock(&selector, begin, end, emit);
}

// The table scan under a stack of filters (their predicates into `filters`,
// outermost first), or null when `plan` is anything else.
inline const ScanPlan* ScanUnderFilters(const PlanNode& plan, std::vector<const BoundExpr*>& filters) {
  const PlanNode* node = &plan;
  while (node->kind == PlanKind::Filter) {
    const auto& filter = static_cast<const FilterPlan&>(*node);
    filters.push_back(filter.predicate.get());
    node = filter.input.get();
  }
  return node->kind == PlanKind::Scan ? static_cast<const ScanPlan*>(node) : nullptr;
}

// What a position of a table's rows seen through a projection holds when
// the projection computes it and nothing reads it.
inline constexpr size_t kNotPassed = static_cast<size_t>(-1);

// The table scan under a stack of filters as the rows of `plan` give it:
// `plan` itself, or a projection that only passes the scan's columns on (a
// view's select list). `passed` gets, per position of `plan`'s rows, the
// position of the scan's row it holds, or kNotPassed. Null, as
// ScanUnderFilters, for any other plan.
const ScanPlan* ScanUnderProjection(const PlanNode& plan, std::vector<const BoundExpr*>& filters,
                                    std::vector<size_t>& passed);

// Calls `emit(row)` for each row of the scan's table its predicates keep, in table order.
template <typename Emit>
void ForEachKeptRow(const ScanPlan& plan, ExecContext& context, const EvalRow* outer, Emit&& emit) {
  const size_t rows = plan.table->row_count();
  if (plan.predicates.empty()) {
    for (size_t r = 0; r < rows; ++r) emit(r);
    return;
  }
  ForEachKeptBlock(plan, context, outer, 0, rows, [&](const uint32_t* kept, size_t count) {
    for (size_t k = 0; k < count; ++k) emit(kept[k]);
    return true;
  });
}

// A scan's row: the columns it reads (the others NULL) and, with row ids, the position.
class ScanRow {
 public:
  explicit ScanRow(const ScanPlan& plan);
  const Value* Read(size_t row) {
    for (size_t i = 0; i < read_.size(); ++i) read_[i]->Read(row, values_[positions_[i]]);
    if (row_ids_) values_[row_id_position_] = Value::Integer(TypeId::BigInt, static_cast<int64_t>(row));
    return values_.data();
  }

 private:
  std::vector<const Column*> read_;
  std::vector<size_t> positions_;
  std::vector<Value> values_;
  bool row_ids_;
  size_t row_id_position_;
};

}  // namespace orv::engine
