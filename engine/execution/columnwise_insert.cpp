// Column-at-a-time stores; see columnwise_insert.h.
#include "engine/execution/columnwise_insert.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "engine/common/decimal.h"
#include "engine/common/errors.h"
#include "engine/execution/column_split.h"
#include "engine/execution/copied_choice.h"
#include "engine/execution/copied_item.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/picked_column.h"
#include "engine/execution/position_source.h"

namespace orv::engine {
namespace {

// Whether every value of type `from` is stored in a column of type `to` as
// it is, by the same test the row path's conversion makes (texts: see
// LongestKept; decimals: see LargestKept).
bool StoredAsIs(const DataType& from, const DataType& to) {
  // The narrower integers are stored as INT is, and widen to it unchanged.
  const bool widens = (from.id == TypeId::TinyInt || from.id == TypeId::SmallInt) &&
                      (to.id == TypeId::SmallInt || to.id == TypeId::Int) && from.id != to.id;
  if (widens) return true;
  if (from.id != to.id) return false;
  switch (to.id) {
    case TypeId::Decimal:
      return from.scale == to.scale;
    case TypeId::Char:
    case TypeId::NChar:
      return false;  // padded to the column's length
    case TypeId::Time:
    case TypeId::DateTime2:
      return from.scale == to.scale;
    default:
      return true;
  }
}

// Text of a column of type `from` fits `to` when its declared length does;
// else a value longer in bytes than `to` holds may be refused (8152), and
// its block takes the row path. SIZE_MAX: no value needs looking at.
size_t LongestKept(const DataType& from, const DataType& to) {
  if (!IsString(to.id) || to.length == DataType::kMaxLength) return SIZE_MAX;
  if (from.length != DataType::kMaxLength && from.length <= to.length) return SIZE_MAX;
  return static_cast<size_t>(to.length);
}

// A decimal of type `from` fits a decimal column `to` of its scale when the
// column's precision is no smaller; else a value of 10^precision or more is
// refused (8115), and its block takes the row path. 0: no value needs
// looking at.
Int128 LargestKept(const DataType& from, const DataType& to) {
  if (to.id != TypeId::Decimal || from.precision <= to.precision) return 0;
  return decimal::Pow10(to.precision);
}

class ColumnwiseInsert {
 public:
  static constexpr size_t kLarge = size_t{1} << 16;
  static constexpr size_t kMostShared = 32;

  ColumnwiseInsert(const ProjectPlan& project, PositionSource& source, ExecContext& context,
                   const ColumnwiseTarget& target)
      : project_(project),
        source_(source),
        context_(context),
        target_(target),
        items_(project.exprs.size()),
        fast_of_(target.item_of.size(), -1),
        slow_of_(target.item_of.size(), -1),
        shared_(source.Tables()),
        sharing_(target.table->shared_text_count() < kMostShared) {
    std::vector<uint8_t> claimed(items_.size());
    for (size_t c = 0; c < target.item_of.size(); ++c) {
      if (std::optional<Fast> fast = Prepare(c)) {
        fast_of_[c] = static_cast<int>(fast_.size());
        fast_.push_back(*fast);
        claimed[static_cast<size_t>(target.item_of[c])] = 1;
        continue;
      }
      slow_of_[c] = static_cast<int>(slow_columns_.size());
      slow_columns_.push_back(c);
      std::optional<CopiedChoice> choice = Choose(c);
      kept_.push_back(choice.has_value());
      if (!choice) continue;
      chosen_.emplace_back(static_cast<size_t>(target.item_of[c]), std::move(*choice));
      claimed[chosen_.back().first] = 1;
    }
    for (size_t j = 0, p = 0; j < slow_columns_.size(); ++j) {
      choice_of_.push_back(kept_[j] ? static_cast<int>(p++) : -1);
      if (kept_[j]) picked_.push_back(PickedFor(slow_columns_[j], chosen_[p - 1]));
    }
    // CASEs asking the same questions (a select list's often ask one, column
    // after column) share the arms their rows pick.
    for (size_t p = 0; p < picked_.size(); ++p) {
      size_t asked = 0;
      while (asked < asking_.size() && !SameWhens(picked_[asking_[asked]].choice(), picked_[p].choice())) ++asked;
      if (asked == asking_.size()) asking_.push_back(p);
      arms_of_.push_back(asked);
    }
    arms_.resize(asking_.size());
    std::vector<uint8_t> read(project.input->width);
    for (size_t i = 0; i < items_.size(); ++i) {
      if (claimed[i]) continue;
      slow_items_.push_back(i);
      MarkRead(*project.exprs[i], read);
    }
    source.Need(read);
    // Texts the slow columns copy go into the table's arena: those columns share it.
    std::vector<uint8_t> together(target.item_of.size());
    for (size_t j = 0; j < slow_columns_.size(); ++j) {
      together[slow_columns_[j]] = !kept_[j] && IsString(target.table->schema()[slow_columns_[j]].type.id);
    }
    const size_t threads = StatementThreads(context);
    split_ = ColumnSplit(threads, std::move(together));
    pick_split_ = ColumnSplit(threads, {});
    if (threads < 2 || !slow_columns_.empty()) return;
    gathered_.resize(source.Tables());
    for (const Fast& fast : fast_) {
      if (fast.source) gathered_[fast.table].emplace();
    }
  }

  bool Worthwhile() const { return !fast_.empty() || !chosen_.empty(); }

  size_t Run() {
    for (size_t t = 0; t < shared_.size(); ++t) {
      if (!shared_[t]) continue;
      for (auto& storage : source_.TableAt(t)->text_storage()) target_.table->ShareText(std::move(storage));
    }
    size_t appended = 0;
    bool exact = true;
    for (size_t count = source_.Next(exact); count > 0; count = source_.Next(exact)) {
      // Sized once for the rows the source may give when many have come, not doubled again and again.
      if (appended < kLarge && appended + count >= kLarge && target_.expected > appended) {
        target_.table->Reserve(target_.table->row_count() + gathered_rows_ + target_.expected - appended);
      }
      if (!exact || !Clean(count)) {
        StoreGathered();
        RowByRow(count, exact);
        continue;
      }
      if (gathered_.empty()) {
        Store(count);
      } else {
        Gather(count);
      }
      appended += count;
    }
    StoreGathered();
    return appended;
  }

 private:
  // A target column filled from a source column (or, with none, with `value` every row).
  struct Fast {
    const Column* source = nullptr;
    size_t table = 0;            // whose positions locate the source's rows
    Value value;                 // a constant's stored value, or what stands for a source NULL
    bool refuses_null = false;   // a source NULL would be refused (515)
    size_t longest = SIZE_MAX;   // longer source texts may be refused (8152)
    Int128 largest = 0;          // decimals this large or larger may be refused (8115); 0: none
  };

  // Texts of `column` (at table `table`'s positions) are stored as the
  // source keeps them, so the target keeps where they live; false when the
  // target already keeps too many storages (the row path copies them).
  bool SharesTexts(const Column* column, size_t table) {
    if (!column || column->storage() != Column::Storage::String) return true;
    shared_[table] = sharing_;
    return sharing_;
  }

  // A text the item gives is stored as it is, so it goes where the table keeps its own.
  Value Kept(Value value) {
    if (!value.is_null && IsString(value.type)) value.set_s(target_.table->text_arena().Copy(value.s()));
    return value;
  }

  // A CASE target column picked row by row: its texts must be stored as
  // they are, the arms' own (the conversion cuts trailing blanks at most,
  // never pads nor writes a number as text).
  std::optional<CopiedChoice> Choose(size_t c) {
    if (target_.item_of[c] < 0) return std::nullopt;
    const BoundExpr& expr = *project_.exprs[static_cast<size_t>(target_.item_of[c])];
    const TypeId to = target_.table->schema()[c].type.id;
    if (IsString(to) && (!IsString(expr.type.id) || to == TypeId::Char || to == TypeId::NChar)) return std::nullopt;
    std::optional<CopiedChoice> choice =
        ChoiceOf(expr, source_, project_.input->width, context_, target_.table->text_arena());
    if (!choice) return std::nullopt;
    for (const CopiedItem& result : choice->results) {
      if (!SharesTexts(result.source, result.table)) return std::nullopt;
    }
    return choice;
  }

  // Table column `c`'s CASE `chosen` picked a column at a time, its constant
  // arms converted once as the row path converts them.
  PickedColumn PickedFor(size_t c, const std::pair<size_t, CopiedChoice>& chosen) {
    const auto& [item, choice] = chosen;
    std::vector<std::optional<Value>> converted(choice.results.size());
    for (size_t arm = 0; arm < converted.size(); ++arm) {
      const CopiedItem& result = choice.results[arm];
      if (result.source || !result.terms.empty()) continue;
      items_[item] = result.missing;
      try {
        converted[arm] = Kept(target_.value_of(c, items_.data()));
      } catch (const SqlError&) {
        // The row path raises it at the first row that takes this arm.
      }
    }
    return PickedColumn(choice, target_.table->schema()[c], std::move(converted));
  }

  // Picks every CASE column's rows `begin` to `end`, a column a thread;
  // false when a value is not stored as its arm gives it, and from then on
  // the statement's slices go row by row.
  bool PickSlice(size_t begin, size_t end) {
    if (!picking_ || picked_.empty()) return false;
    pick_split_.Run(asking_.size(), end - begin, [&](size_t a) {
      arms_[a].resize(end - begin);
      picked_[asking_[a]].choice().Pick(source_, begin, end, arms_[a].data());
    });
    std::vector<uint8_t> stored(picked_.size());
    pick_split_.Run(picked_.size(), end - begin, [&](size_t p) {
      stored[p] = picked_[p].Pick(source_, begin, end, arms_[arms_of_[p]].data()) ? 1 : 0;
    });
    picking_ = std::find(stored.begin(), stored.end(), 0) == stored.end();
    return picking_;
  }

  std::optional<Fast> Prepare(size_t c) {
    if (target_.item_of[c] < 0) return std::nullopt;
    const size_t item = static_cast<size_t>(target_.item_of[c]);
    const BoundExpr& expr = *project_.exprs[item];
    const ColumnSchema& column = target_.table->schema()[c];
    const bool constant = expr.kind() == BoundKind::Constant;
    const bound::Column* read = constant ? nullptr : ColumnRead(expr);
    Fast fast;
    if (!constant) {
      fast.source = read ? source_.ColumnAt(static_cast<size_t>(read->position), fast.table) : nullptr;
      if (!fast.source || fast.source->type() != expr.type || !StoredAsIs(expr.type, column.type)) return std::nullopt;
    }
    try {
      // The item's value where its column is NULL: the replacement ISNULL converts, or NULL.
      const std::vector<Value> nulls(project_.input->width);
      fast.value = Evaluate(expr, EvalRow{nulls.data(), nullptr}, context_);
      if (constant) {
        items_[item] = fast.value;
        fast.value = Kept(target_.value_of(c, items_.data()));
        return fast;
      }
    } catch (const SqlError&) {
      return std::nullopt;  // the row path raises it at the first row that needs it
    }
    fast.value = Kept(fast.value);
    if (!SharesTexts(fast.source, fast.table)) return std::nullopt;
    fast.longest = LongestKept(expr.type, column.type);
    fast.largest = LargestKept(expr.type, column.type);
    if (fast.value.is_null) {
      fast.refuses_null = !column.nullable;
    } else if (IsString(column.type.id) && fast.value.s().size() > fast.longest) {
      return std::nullopt;
    } else if (fast.largest != 0 && !decimal::Fits(fast.value.dec, column.type.precision)) {
      return std::nullopt;
    }
    return fast;
  }

  // Whether every fast column's values of the block are stored without a doubt.
  bool Clean(size_t count) const {
    for (const Fast& fast : fast_) {
      if (!fast.source) continue;
      const uint32_t* rows = source_.Positions(fast.table);
      auto null = [&](uint32_t row) { return row == Column::kNoRow || fast.source->IsNull(row); };
      for (size_t k = 0; k < count && fast.refuses_null; ++k) {
        if (null(rows[k])) return false;
      }
      if (fast.largest != 0) {
        const Int128* decimals = fast.source->decimals();
        for (size_t k = 0; k < count; ++k) {
          if (!null(rows[k]) && (decimals[rows[k]] >= fast.largest || decimals[rows[k]] <= -fast.largest)) return false;
        }
      }
      if (fast.longest == SIZE_MAX) continue;
      for (size_t k = 0; k < count; ++k) {
        if (!null(rows[k]) && fast.source->Text(rows[k]).size() > fast.longest) return false;
      }
    }
    return true;
  }

  // A block goes in slices, so a join that fans a few rows out into millions
  // holds the slow columns' values of one slice at a time.
  static constexpr size_t kSlice = 4096;

  void Store(size_t count) {
    std::vector<const uint32_t*> positions(source_.Tables());
    for (size_t t = 0; t < positions.size(); ++t) positions[t] = source_.Positions(t);
    // Without slow columns a row holds nothing: the block goes whole.
    const size_t slice = slow_columns_.empty() ? count : kSlice;
    for (size_t begin = 0; begin < count; begin += slice) StoreSlice(begin, std::min(count, begin + slice), positions);
  }

  // Blocks of copied columns only are kept as their positions until there
  // are rows enough to split the columns over threads.
  static constexpr size_t kGathered = size_t{1} << 15;

  void Gather(size_t count) {
    for (size_t t = 0; t < gathered_.size(); ++t) {
      if (gathered_[t]) gathered_[t]->insert(gathered_[t]->end(), source_.Positions(t), source_.Positions(t) + count);
    }
    gathered_rows_ += count;
    if (gathered_rows_ >= kGathered) StoreGathered();
  }

  void StoreGathered() {
    if (gathered_rows_ == 0) return;
    std::vector<const uint32_t*> positions(gathered_.size());
    for (size_t t = 0; t < positions.size(); ++t) positions[t] = gathered_[t] ? gathered_[t]->data() : nullptr;
    StoreSlice(0, gathered_rows_, positions);
    for (auto& rows : gathered_) {
      if (rows) rows->clear();
    }
    gathered_rows_ = 0;
  }

  // Rows `begin` to `end` of the block, whose rows are at `positions` in each source table.
  void StoreSlice(size_t begin, size_t end, const std::vector<const uint32_t*>& positions) {
    const size_t count = end - begin;
    const size_t width = slow_columns_.size();
    const bool picked = width > 0 && PickSlice(begin, end);
    if (width > picked_.size() || (width > 0 && !picked)) {
      slow_values_.resize(count * width);
      // Row by row in the row path's order, so its first error is raised here.
      for (size_t k = 0; k < count; ++k) {
        if (!slow_items_.empty()) {
          const Value* row = source_.Row(begin + k, false);
          for (size_t i : slow_items_) items_[i] = Evaluate(*project_.exprs[i], EvalRow{row, nullptr}, context_);
        }
        if (!picked) {
          for (const auto& [i, choice] : chosen_) items_[i] = choice.At(source_, begin + k).At(source_, begin + k);
        }
        for (size_t j = 0; j < width; ++j) {
          if (picked && choice_of_[j] >= 0) continue;
          slow_values_[k * width + j] = target_.value_of(slow_columns_[j], items_.data());
        }
      }
    }
    const size_t columns = target_.table->column_count();
    auto split = [&](auto&& fill_one) { split_.Run(columns, count, fill_one); };
    target_.table->AppendColumnsSplit(count, split, [&](size_t c, Column& column) {
      if (fast_of_[c] >= 0) {
        const Fast& fast = fast_[static_cast<size_t>(fast_of_[c])];
        if (fast.source) {
          return column.AppendGathered(*fast.source, positions[fast.table] + begin, count, fast.value);
        }
        for (size_t k = 0; k < count; ++k) column.Append(fast.value, true);
        return;
      }
      const size_t j = static_cast<size_t>(slow_of_[c]);
      if (picked && choice_of_[j] >= 0) {
        const PickedColumn& values = picked_[static_cast<size_t>(choice_of_[j])];
        for (size_t k = 0; k < count; ++k) column.Append(values[k], true);
        return;
      }
      for (size_t k = 0; k < count; ++k) column.Append(slow_values_[k * width + j], kept_[j]);
    });
  }

  // The block as the operators would pass it on row by row.
  void RowByRow(size_t count, bool exact) {
    const auto& exprs = project_.exprs;
    for (size_t k = 0; k < count; ++k) {
      const Value* row = source_.Row(k, true);
      if (!exact && !source_.Keeps(row)) continue;
      for (size_t i = 0; i < exprs.size(); ++i) items_[i] = Evaluate(*exprs[i], EvalRow{row, nullptr}, context_);
      target_.add_row(items_.data());
    }
  }

  const ProjectPlan& project_;
  PositionSource& source_;
  ExecContext& context_;
  const ColumnwiseTarget& target_;
  std::vector<Value> items_;
  std::vector<Fast> fast_;
  std::vector<int> fast_of_;  // per table column: its index in fast_, or -1
  std::vector<int> slow_of_;  // per table column: its index in slow_columns_, or -1
  std::vector<size_t> slow_columns_;
  std::vector<uint8_t> kept_;        // per slow column: its values' texts are kept already (a choice's)
  std::vector<std::pair<size_t, CopiedChoice>> chosen_;  // items picked, not evaluated, row by row
  std::vector<PickedColumn> picked_;  // per entry of chosen_, its column picked a column at a time
  std::vector<int> choice_of_;        // per slow column: its entry in chosen_, or -1
  std::vector<size_t> asking_;        // per distinct set of WHENs, the first of picked_ asking it
  std::vector<size_t> arms_of_;       // per entry of picked_, its set's index in asking_
  std::vector<std::vector<uint32_t>> arms_;  // per set, the arms a slice's rows pick
  bool picking_ = true;               // until a slice's values are not stored as picked
  ColumnSplit pick_split_;            // how a slice's CASE columns go over threads
  std::vector<size_t> slow_items_;  // the items evaluated row by row
  std::vector<Value> slow_values_;  // a slice of the slow columns' values, row-major
  std::vector<uint8_t> shared_;     // per source table: texts are stored where it keeps them
  bool sharing_;                    // whether the target may keep more storages
  ColumnSplit split_;               // how a block's columns go over threads
  // Per source table, the positions of the blocks gathered (none for a table
  // no column reads); empty when blocks are stored as they come.
  std::vector<std::optional<std::vector<uint32_t>>> gathered_;
  size_t gathered_rows_ = 0;
};

}  // namespace

bool InsertColumnwise(const PlanNode& plan, ExecContext& context, const ColumnwiseTarget& target, size_t& appended) {
  const ProjectPlan* project = nullptr;
  std::unique_ptr<PositionSource> source = ProjectedPositions(plan, context, project);
  if (!source) return false;
  ColumnwiseInsert insert(*project, *source, context, target);
  if (!insert.Worthwhile()) return false;
  appended = insert.Run();
  return true;
}

}  // namespace orv::engine
