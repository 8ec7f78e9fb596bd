// A select-list item the block paths copy from a column as it is stored,
// instead of evaluating it row by row: a column of a table read, ISNULL of
// one with a constant, either under a cast that only widens a decimal's
// precision, or a constant (under any cast); or a sum or difference of
// such decimals, of one scale, that no value can make overflow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/binder/bound_expr.h"
#include "engine/common/string_arena.h"
#include "engine/execution/exec_context.h"
#include "engine/execution/position_source.h"
#include "engine/planner/plan.h"

namespace orv::engine {

// The column of the row that `expr` reads when it is that column itself or
// an ISNULL of it with a constant replacement; else null.
const bound::Column* ColumnRead(const BoundExpr& expr);

struct CopiedItem {
  const Column* source = nullptr;  // null: `missing` every row
  size_t table = 0;                // whose positions locate the source's rows
  Value missing;                   // the value for an outer join's missing row, or the constant
  bool replaces_null = false;      // a stored NULL gives `missing` too (ISNULL, a cast), not itself
  uint8_t precision = 0;           // a widening cast's (or the sum's) decimal precision; 0: none
  // A sum instead of a column: the terms' values added, those `negated`
  // flags subtracted; NULL where one is.
  std::vector<CopiedItem> terms;
  std::vector<uint8_t> negated;

  // Starts loading the value At(rows, k) reads: a join's rows of one key lie
  // far apart, and waiting for each is most of the copy's time.
  void Prefetch(const PositionSource& rows, size_t k) const {
    for (const CopiedItem& term : terms) term.Prefetch(rows, k);
    if (!source) return;
    const uint32_t row = rows.Positions(table)[k];
    if (row != Column::kNoRow) source->Prefetch(row);
  }
  // The value the row path evaluates at row `k` of the block `rows` holds.
  Value At(const PositionSource& rows, size_t k) const {
    if (!terms.empty()) return Sum(rows, k);
    return source ? AtPosition(rows.Positions(table)[k]) : missing;
  }
  // A column item's value at its source's row `row` (kNoRow: an outer join's missing row).
  Value AtPosition(uint32_t row) const {
    if (!source || row == Column::kNoRow) return missing;
    Value value;
    source->Read(row, value);
    if (value.is_null) return replaces_null ? missing : value;
    // As the cast itself makes it: the same number, the wider type.
    return precision ? Value::Decimal(value.dec, precision, value.scale) : value;
  }
  Value Sum(const PositionSource& rows, size_t k) const;
};

// `expr`, over rows `width` values wide, as a copied item of `rows`'
// columns, or nullopt. A text the item gives for a NULL is copied into
// `texts`, which must live as long as the values the item gives.
std::optional<CopiedItem> CopyOf(const BoundExpr& expr, const PositionSource& rows, size_t width,
                                 ExecContext& context, StringArena& texts);

// The rows of `plan`'s input, when `plan` is a projection (every item
// computed) of one table's rows or of a chain of joins, setting `project`;
// else null.
std::unique_ptr<PositionSource> ProjectedPositions(const PlanNode& plan, ExecContext& context,
                                                   const ProjectPlan*& project);

}  // namespace orv::engine
