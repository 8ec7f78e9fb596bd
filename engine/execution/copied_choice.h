// A CASE the block paths pick instead of evaluating: its conditions compare a
// column with a constant of its type and its results are copied items (see
// copied_item.h), so neither can fail and a row needs only a choice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/binder/bound_expr.h"
#include "engine/common/string_arena.h"
#include "engine/execution/copied_item.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/exec_context.h"
#include "engine/execution/position_source.h"
#include "engine/execution/stored_integer.h"
#include "engine/function/scalar.h"

namespace orv::engine {

struct CopiedChoice {
  struct When {
    const Column* column;
    size_t table;
    CompareOp op;
    Value constant;
  };
  std::vector<When> whens;
  std::vector<CopiedItem> results;  // one a WHEN, then the ELSE's

  void Prefetch(const PositionSource& rows, size_t k) const {
    for (const When& when : whens) {
      const uint32_t row = rows.Positions(when.table)[k];
      if (row != Column::kNoRow) when.column->Prefetch(row);
    }
    for (const CopiedItem& result : results) result.Prefetch(rows, k);
  }
  // The result the row path picks at row `k` of the block `rows` holds.
  const CopiedItem& At(const PositionSource& rows, size_t k) const { return results[Pick(rows, k)]; }
  // Which of `results` row `k` takes.
  uint32_t Pick(const PositionSource& rows, size_t k) const {
    for (size_t w = 0; w < whens.size(); ++w) {
      if (Holds(whens[w], rows.Positions(whens[w].table)[k])) return static_cast<uint32_t>(w);
    }
    return static_cast<uint32_t>(whens.size());
  }
  // Which of `results` rows `begin` to `end` take, into `arms`: every WHEN
  // is asked of every row (none can fail), the last first, so that the
  // first that holds is the one kept.
  void Pick(const PositionSource& rows, size_t begin, size_t end, uint32_t* arms) const;

 private:
  // Whether `when` holds for its column's row `row` (kNoRow: a missing row, never).
  static bool Holds(const When& when, uint32_t row) {
    if (row == Column::kNoRow || when.column->IsNull(row)) return false;  // unknown
    int order;
    if (IsInteger(when.column->type().id)) {
      // Integers compare as numbers whatever their widths: the stored one as it is.
      const int64_t stored = StoredInteger(*when.column, row);
      order = (stored > when.constant.i) - (stored < when.constant.i);
    } else {
      Value value;
      when.column->Read(row, value);
      order = CompareValues(value, when.constant);
    }
    return CompareResult(when.op, order);
  }
};

// Whether `a` and `b` ask the same questions, so that every row picks the
// same arm of both.
bool SameWhens(const CopiedChoice& a, const CopiedChoice& b);

// `expr`, over rows `width` values wide, as a choice among copied items of
// `rows`' columns, or nullopt; texts as CopyOf keeps them in `texts`.
std::optional<CopiedChoice> ChoiceOf(const BoundExpr& expr, const PositionSource& rows, size_t width,
                                     ExecContext& context, StringArena& texts);

}  // namespace orv::engine
