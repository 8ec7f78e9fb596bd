// Column-at-a-time stores from one table; see columnwise_insert.h.
#include "engine/execution/columnwise_insert.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "engine/common/errors.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/scan_selector.h"

namespace orv::engine {
namespace {

// A projection over filters (innermost first) over a scan.
struct Source {
  const ProjectPlan* project = nullptr;
  std::vector<const BoundExpr*> filters;
  const ScanPlan* scan = nullptr;
};

std::optional<Source> SourceOf(const PlanNode& plan) {
  if (plan.kind != PlanKind::Project) return std::nullopt;
  Source source;
  source.project = &static_cast<const ProjectPlan&>(plan);
  const std::vector<uint8_t>& live = source.project->live;
  if (std::find(live.begin(), live.end(), 0) != live.end()) return std::nullopt;
  const PlanNode* node = source.project->input.get();
  while (node->kind == PlanKind::Filter) {
    const auto& filter = static_cast<const FilterPlan&>(*node);
    source.filters.push_back(filter.predicate.get());
    node = filter.input.get();
  }
  if (node->kind != PlanKind::Scan) return std::nullopt;
  std::reverse(source.filters.begin(), source.filters.end());
  source.scan = static_cast<const ScanPlan*>(node);
  return source;
}

// Whether every value of type `from` is stored in a column of type `to` as
// it is, by the same test the row path's conversion makes (texts: see
// LongestKept).
bool StoredAsIs(const DataType& from, const DataType& to) {
  if (from.id != to.id) return false;
  switch (to.id) {
    case TypeId::Decimal:
      return from.scale == to.scale && from.precision <= to.precision;
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

// A column of the source table that an item reads: the item itself or the
// first argument of an ISNULL with a constant replacement.
const bound::Column* ColumnRead(const BoundExpr& expr) {
  const BoundExpr* read = &expr;
  if (const auto* call = expr.As<bound::Function>()) {
    if (call->function->name != "ISNULL" || call->arguments[1]->kind() != BoundKind::Constant) return nullptr;
    read = call->arguments[0].get();
  }
  const auto* column = read->As<bound::Column>();
  return column && column->depth == 0 ? column : nullptr;
}

class ColumnwiseInsert {
 public:
  ColumnwiseInsert(const Source& source, ExecContext& context, const ColumnwiseTarget& target)
      : source_(source),
        context_(context),
        target_(target),
        reader_(*source.scan),
        items_(source.project->exprs.size()),
        fast_of_(target.item_of.size(), -1),
        slow_of_(target.item_of.size(), -1) {
    std::vector<uint8_t> claimed(items_.size());
    for (size_t c = 0; c < target.item_of.size(); ++c) {
      if (std::optional<Fast> fast = Prepare(c)) {
        fast_of_[c] = static_cast<int>(fast_.size());
        fast_.push_back(*fast);
        claimed[static_cast<size_t>(target.item_of[c])] = 1;
      } else {
        slow_of_[c] = static_cast<int>(slow_columns_.size());
        slow_columns_.push_back(c);
      }
    }
    for (size_t i = 0; i < items_.size(); ++i) {
      if (!claimed[i]) slow_items_.push_back(i);
    }
    slow_values_.resize(ScanSelector::kBlock * slow_columns_.size());
  }

  bool Worthwhile() const { return !fast_.empty(); }

  size_t Run() {
    ScanSelector selector(*source_.scan, context_, nullptr);
    const size_t rows = source_.scan->table->row_count();
    uint32_t scanned[ScanSelector::kBlock];
    uint32_t kept[ScanSelector::kBlock];
    size_t appended = 0;
    for (size_t begin = 0; begin < rows; begin += ScanSelector::kBlock) {
      const size_t count = selector.Select(begin, std::min(begin + ScanSelector::kBlock, rows), scanned);
      const std::optional<size_t> passed = Filter(scanned, count, kept);
      if (!passed || !Clean(kept, *passed)) {
        RowByRow(scanned, count);
        continue;
      }
      Store(kept, *passed);
      appended += *passed;
    }
    return appended;
  }

 private:
  // A target column filled from a source column (or, with none, with `value` every row).
  struct Fast {
    const Column* source = nullptr;
    Value value;                 // a constant's stored value, or what stands for a source NULL
    bool refuses_null = false;   // a source NULL would be refused (515)
    size_t longest = SIZE_MAX;   // longer source texts may be refused (8152)
  };

  std::optional<Fast> Prepare(size_t c) {
    if (target_.item_of[c] < 0) return std::nullopt;
    const size_t item = static_cast<size_t>(target_.item_of[c]);
    const BoundExpr& expr = *source_.project->exprs[item];
    const ColumnSchema& column = target_.table->schema()[c];
    const bool constant = expr.kind() == BoundKind::Constant;
    const bound::Column* read = constant ? nullptr : ColumnRead(expr);
    if (!constant && (!read || static_cast<size_t>(read->position) >= source_.scan->table->column_count())) {
      return std::nullopt;
    }
    Fast fast;
    try {
      // The item's value where its column is NULL: the replacement ISNULL converts, or NULL.
      const std::vector<Value> nulls(source_.scan->width);
      fast.value = Evaluate(expr, EvalRow{nulls.data(), nullptr}, context_);
      if (constant) {
        items_[item] = fast.value;
        fast.value = target_.value_of(c, items_.data());
        return fast;
      }
    } catch (const SqlError&) {
      return std::nullopt;  // the row path raises it at the first row that needs it
    }
    fast.source = &source_.scan->table->column(static_cast<size_t>(read->position));
    if (fast.source->type() != expr.type || !StoredAsIs(expr.type, column.type)) return std::nullopt;
    fast.longest = LongestKept(expr.type, column.type);
    if (fast.value.is_null) {
      fast.refuses_null = !column.nullable;
    } else if (IsString(column.type.id) && fast.value.s().size() > fast.longest) {
      return std::nullopt;
    }
    return fast;
  }

  // The rows of `rows` every filter keeps, or nothing when a filter fails.
  std::optional<size_t> Filter(const uint32_t* rows, size_t count, uint32_t* kept) {
    if (source_.filters.empty()) {
      std::copy(rows, rows + count, kept);
      return count;
    }
    size_t passed = 0;
    try {
      for (size_t k = 0; k < count; ++k) {
        kept[passed] = rows[k];
        passed += static_cast<size_t>(Passes(reader_.Read(rows[k])));
      }
    } catch (const SqlError&) {
      return std::nullopt;  // the row path raises it after the rows before it
    }
    return passed;
  }

  bool Passes(const Value* row) {
    for (const BoundExpr* filter : source_.filters) {
      if (!IsTrue(Evaluate(*filter, EvalRow{row, nullptr}, context_))) return false;
    }
    return true;
  }

  // Whether every fast column's values of `rows` are stored without a doubt.
  bool Clean(const uint32_t* rows, size_t count) const {
    for (const Fast& fast : fast_) {
      if (!fast.source) continue;
      for (size_t k = 0; k < count && fast.refuses_null; ++k) {
        if (fast.source->IsNull(rows[k])) return false;
      }
      if (fast.longest == SIZE_MAX) continue;
      for (size_t k = 0; k < count; ++k) {
        if (!fast.source->IsNull(rows[k]) && fast.source->texts()[rows[k]].size() > fast.longest) return false;
      }
    }
    return true;
  }

  void Store(const uint32_t* rows, size_t count) {
    const size_t width = slow_columns_.size();
    if (width > 0) {
      // Row by row in the row path's order, so its first error is raised here.
      for (size_t k = 0; k < count; ++k) {
        if (!slow_items_.empty()) {
          const Value* row = reader_.Read(rows[k]);
          for (size_t i : slow_items_) items_[i] = Evaluate(*source_.project->exprs[i], EvalRow{row, nullptr}, context_);
        }
        for (size_t j = 0; j < width; ++j) slow_values_[k * width + j] = target_.value_of(slow_columns_[j], items_.data());
      }
    }
    target_.table->AppendColumns(count, [&](size_t c, Column& column) {
      if (fast_of_[c] >= 0) {
        const Fast& fast = fast_[static_cast<size_t>(fast_of_[c])];
        if (fast.source) return column.AppendGathered(*fast.source, rows, count, fast.value);
        for (size_t k = 0; k < count; ++k) column.Append(fast.value);
        return;
      }
      const size_t j = static_cast<size_t>(slow_of_[c]);
      for (size_t k = 0; k < count; ++k) column.Append(slow_values_[k * width + j]);
    });
  }

  // The block as the scan, filters and projection would pass it on row by row.
  void RowByRow(const uint32_t* rows, size_t count) {
    const auto& exprs = source_.project->exprs;
    for (size_t k = 0; k < count; ++k) {
      const Value* row = reader_.Read(rows[k]);
      if (!Passes(row)) continue;
      for (size_t i = 0; i < exprs.size(); ++i) items_[i] = Evaluate(*exprs[i], EvalRow{row, nullptr}, context_);
      target_.add_row(items_.data());
    }
  }

  const Source& source_;
  ExecContext& context_;
  const ColumnwiseTarget& target_;
  ScanRow reader_;
  std::vector<Value> items_;
  std::vector<Fast> fast_;
  std::vector<int> fast_of_;  // per table column: its index in fast_, or -1
  std::vector<int> slow_of_;  // per table column: its index in slow_columns_, or -1
  std::vector<size_t> slow_columns_;
  std::vector<size_t> slow_items_;  // the items no fast column stores, evaluated row by row
  std::vector<Value> slow_values_;  // a block of the slow columns' values, row-major
};

}  // namespace

bool InsertColumnwise(const PlanNode& plan, ExecContext& context, const ColumnwiseTarget& target, size_t& appended) {
  const std::optional<Source> source = SourceOf(plan);
  if (!source) return false;
  ColumnwiseInsert insert(*source, context, target);
  if (!insert.Worthwhile()) return false;
  appended = insert.Run();
  return true;
}

}  // namespace orv::engine
