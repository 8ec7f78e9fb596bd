// Column-at-a-time results; see columnwise_select.h.
#include "engine/execution/columnwise_select.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/execution/column_split.h"
#include "engine/execution/copied_choice.h"
#include "engine/execution/copied_item.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/position_source.h"
#include "engine/execution/row_order.h"
#include "engine/function/scalar.h"

namespace orv::engine {
namespace {

class ColumnwiseSelect {
 public:
  ColumnwiseSelect(const ProjectPlan& project, PositionSource& source, ExecContext& context, ResultSet& result)
      : project_(project),
        source_(source),
        context_(context),
        result_(result),
        items_(project.exprs.size()),
        texts_(std::make_shared<StringArena>()) {
    std::vector<uint8_t> read(project.input->width);
    for (size_t i = 0; i < items_.size(); ++i) {
      const BoundExpr& expr = *project.exprs[i];
      if (std::optional<CopiedItem> copied = Copy(expr)) {
        items_[i].copied = std::move(*copied);
      } else if (std::optional<CopiedChoice> choice =
                     ChoiceOf(expr, source_, project_.input->width, context_, *texts_)) {
        items_[i].choice = std::move(*choice);
      } else {
        items_[i].slow = static_cast<int>(slow_.size());
        slow_.push_back(i);
        MarkRead(expr, read);
      }
    }
    source.Need(read);
    for (size_t i = 0; i < items_.size(); ++i) {
      if (!items_[i].choice) continue;
      for (size_t j = 0; j < i && items_[i].pick < 0; ++j) {
        if (items_[j].choice && SameWhens(*items_[j].choice, *items_[i].choice)) items_[i].pick = items_[j].pick;
      }
      if (items_[i].pick >= 0) continue;
      items_[i].pick = static_cast<int>(asking_.size());
      asking_.push_back(i);
    }
    // The slow items copy their texts into the result's own arena: they share it.
    std::vector<uint8_t> together(items_.size());
    for (size_t i : slow_) together[i] = 1;
    split_ = ColumnSplit(StatementThreads(context), std::move(together));
    pick_split_ = ColumnSplit(StatementThreads(context), {});
  }

  bool Worthwhile() const { return slow_.size() < items_.size(); }

  size_t Run() {
    result_.ShareText(texts_);
    for (size_t t = 0; t < source_.Tables(); ++t) {
      if (!source_.TableAt(t)) continue;
      for (auto& storage : source_.TableAt(t)->text_storage()) result_.ShareText(std::move(storage));
    }
    size_t rows = 0;
    bool exact = true;
    for (size_t count = source_.Next(exact); count > 0; count = source_.Next(exact)) {
      rows += exact ? Append(count) : RowByRow(count);
    }
    return rows;
  }

 private:
  // How many rows ahead a copy starts loading values.
  static constexpr size_t kAhead = 64;
  static constexpr size_t kSlice = 4096;
  // Rows from which a block pays for being put in each table's order.
  static constexpr size_t kPlaced = size_t{1} << 16;

  struct Item {
    std::optional<CopiedItem> copied;
    std::optional<CopiedChoice> choice;
    int pick = -1;  // a choice's: its WHENs' index among the distinct ones
    int slow = -1;  // else its index in slow_
  };

  std::optional<CopiedItem> Copy(const BoundExpr& expr) {
    return CopyOf(expr, source_, project_.input->width, context_, *texts_);
  }

  // A block a slice at a time: a join may turn a few rows into a block of
  // millions, whose slow values all at once would take far more memory than
  // the result.
  size_t Append(size_t count) {
    if (slow_.empty() && count >= kPlaced) {
      AppendPlaced(count);
      return count;
    }
    for (size_t begin = 0; begin < count; begin += kSlice) AppendSlice(begin, std::min(count, begin + kSlice));
    return count;
  }

  // A large block that needs no evaluation: every column is read a table at
  // a time in that table's row order and written where its rows fall.
  void AppendPlaced(size_t count) {
    // Every order the columns read is made first, so the columns share them as they are.
    orders_.assign(source_.Tables(), std::nullopt);
    for (const Item& item : items_) {
      if (item.copied) MakeOrder(*item.copied, count);
      if (!item.choice) continue;
      // A CASE has a WHEN at least: its first column's table sets the order the choices are read in.
      MakeOrder(item.choice->whens[0].table, *item.choice->whens[0].column, count);
      for (const CopiedItem& result : item.choice->results) MakeOrder(result, count);
    }
    // Items that ask the same questions (a select list's CASEs often ask
    // one, column after column) share the arms their rows pick.
    std::vector<std::vector<uint32_t>> picked(asking_.size());
    pick_split_.Run(asking_.size(), count, [&](size_t p) {
      const CopiedChoice& choice = *items_[asking_[p]].choice;
      std::vector<uint32_t>& chosen = picked[p];
      chosen.resize(count);
      const RowOrder& order = *orders_[choice.whens[0].table];
      for (size_t i = 0; i < count; ++i) chosen[order.Row(i)] = choice.Pick(source_, order.Row(i));
    });
    auto fill = [&](size_t c, ResultColumn& column, StringArena&) {
      column.Extend(count);
      const Item& item = items_[c];
      if (item.copied) return Place(*item.copied, count, column, nullptr, 0);
      const std::vector<uint32_t>& chosen = picked[static_cast<size_t>(item.pick)];
      for (size_t r = 0; r < item.choice->results.size(); ++r) {
        Place(item.choice->results[r], count, column, chosen.data(), static_cast<uint32_t>(r));
      }
    };
    result_.AppendColumns(count, fill, split_);
  }

  // The rows of the block where `chosen` is `which` (all with no `chosen`)
  // given `item`'s values: a column's in its table's order, a constant's or
  // a sum's in the block's.
  void Place(const CopiedItem& item, size_t count, ResultColumn& column, const uint32_t* chosen,
             uint32_t which) const {
    if (!item.source) {
      for (size_t k = 0; k < count; ++k) {
        if (!chosen || chosen[k] == which) column.Place(k, item.At(source_, k));
      }
      return;
    }
    const RowOrder& order = *orders_[item.table];
    const ResultColumn::StoredRows placed{order.rows(), order.positions(), chosen, which};
    // A value that does not fit the column's kind turns it whole: from then on every value goes through Place.
    bool stored = column.TakesStored(*item.source, item.precision);
    for (size_t i = 0; i < count; ++i) {
      if (stored && (i = column.PlaceStored(*item.source, placed, i, count)) == count) break;
      const size_t k = order.Row(i);
      if (chosen && chosen[k] != which) continue;
      // A missing row, or a NULL, takes what the item gives for it.
      column.Place(k, item.AtPosition(order.Position(i)));
      stored = stored && column.TakesStored(*item.source, item.precision);
    }
  }

  // The block's rows in the order of table `table`, of which `column` is one.
  void MakeOrder(size_t table, const Column& column, size_t count) {
    if (!orders_[table]) orders_[table].emplace(source_.Positions(table), count, column.size());
  }
  // The order Place reads `item` in, when it reads a column.
  void MakeOrder(const CopiedItem& item, size_t count) {
    if (item.source) MakeOrder(item.table, *item.source, count);
  }

  // The slice's slow items row by row, in the row path's order, so its first
  // error is raised here; then every column a slice at a time.
  void AppendSlice(size_t begin, size_t end) {
    const size_t width = slow_.size();
    slow_values_.resize((end - begin) * width);
    for (size_t k = begin; k < end && width > 0; ++k) {
      const Value* row = source_.Row(k, false);
      for (size_t j = 0; j < width; ++j) {
        slow_values_[(k - begin) * width + j] = Evaluate(*project_.exprs[slow_[j]], EvalRow{row, nullptr}, context_);
      }
    }
    auto fill = [&](size_t c, ResultColumn& column, StringArena& arena) {
      const Item& item = items_[c];
      if (item.copied) {
        for (size_t k = begin; k < end; ++k) {
          if (k + kAhead < end) item.copied->Prefetch(source_, k + kAhead);
          column.Append(item.copied->At(source_, k), nullptr);
        }
      } else if (item.choice) {
        for (size_t k = begin; k < end; ++k) {
          if (k + kAhead < end) item.choice->Prefetch(source_, k + kAhead);
          column.Append(item.choice->At(source_, k).At(source_, k), nullptr);
        }
      } else {
        const size_t j = static_cast<size_t>(item.slow);
        for (size_t k = begin; k < end; ++k) column.Append(slow_values_[(k - begin) * width + j], &arena);
      }
    };
    result_.AppendColumns(end - begin, fill, split_);
  }

  // An inexact block as the operators would pass it on row by row.
  size_t RowByRow(size_t count) {
    std::vector<Value>& out = slow_values_;
    out.resize(items_.size());
    size_t kept = 0;
    for (size_t k = 0; k < count; ++k) {
      const Value* row = source_.Row(k, true);
      if (!source_.Keeps(row)) continue;
      for (size_t i = 0; i < out.size(); ++i) out[i] = Evaluate(*project_.exprs[i], EvalRow{row, nullptr}, context_);
      result_.AppendRow(out.data());
      ++kept;
    }
    return kept;
  }

  const ProjectPlan& project_;
  PositionSource& source_;
  ExecContext& context_;
  ResultSet& result_;
  std::vector<Item> items_;
  std::vector<size_t> asking_;      // per distinct set of WHENs, the first choice item asking it
  std::vector<size_t> slow_;        // the items evaluated row by row
  std::vector<Value> slow_values_;  // a block of their values, row-major
  std::vector<std::optional<RowOrder>> orders_;  // a table's, for the block AppendPlaced fills
  ColumnSplit split_;                            // how a block's columns go over threads
  ColumnSplit pick_split_;                       // how a block's distinct picks go over threads
  std::shared_ptr<StringArena> texts_;  // what copied items give for a NULL, kept with the result
};

}  // namespace

bool SelectColumnwise(const PlanNode& plan, ExecContext& context, ResultSet& result, size_t& count) {
  const ProjectPlan* project = nullptr;
  std::unique_ptr<PositionSource> source = ProjectedPositions(plan, context, project);
  if (!source) return false;
  ColumnwiseSelect select(*project, *source, context, result);
  if (!select.Worthwhile()) return false;
  count = select.Run();
  return true;
}

}  // namespace orv::engine
