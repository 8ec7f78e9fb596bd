#include "engine/execution/scan_selector.h"

#include <algorithm>
#include <functional>
#include <numeric>

#include "engine/common/decimal.h"
#include "engine/common/interrupt.h"
#include "engine/execution/evaluate.h"

namespace orv::engine {
namespace {

// Keeps, in place, the rows whose stored value is not NULL and compares as
// `compare` says with `value`.
template <typename Stored, typename Wide, typename Compare>
size_t KeepWhere(const Column& column, const Stored* data, Wide value, Compare compare, uint32_t* rows,
                 size_t count) {
  size_t kept = 0;
  for (size_t k = 0; k < count; ++k) {
    const uint32_t row = rows[k];
    rows[kept] = row;
    kept += static_cast<size_t>(!column.IsNull(row)) & static_cast<size_t>(compare(static_cast<Wide>(data[row]), value));
  }
  return kept;
}

template <typename Stored, typename Wide>
size_t KeepCompared(const Column& column, const Stored* data, CompareOp op, Wide value, uint32_t* rows,
                    size_t count) {
  switch (op) {
    case CompareOp::Equal: return KeepWhere(column, data, value, std::equal_to<>(), rows, count);
    case CompareOp::NotEqual: return KeepWhere(column, data, value, std::not_equal_to<>(), rows, count);
    case CompareOp::Less: return KeepWhere(column, data, value, std::less<>(), rows, count);
    case CompareOp::LessEqual: return KeepWhere(column, data, value, std::less_equal<>(), rows, count);
    case CompareOp::Greater: return KeepWhere(column, data, value, std::greater<>(), rows, count);
    case CompareOp::GreaterEqual: return KeepWhere(column, data, value, std::greater_equal<>(), rows, count);
  }
  return count;
}

size_t KeepNotNull(const Column& column, uint32_t* rows, size_t count) {
  size_t kept = 0;
  for (size_t k = 0; k < count; ++k) {
    rows[kept] = rows[k];
    kept += static_cast<size_t>(!column.IsNull(rows[k]));
  }
  return kept;
}

// The value of an exact number at scale `to`, as a comparison with a column
// of that scale sees it: `op` may change (x > 1.25 is x >= 1.3 at scale 1),
// and a value no column value can reach makes the comparison all or nothing.
enum class Outcome { Value, NoRow, EveryValue };
Outcome AtScale(Int128 value, int from, int to, CompareOp& op, Int128& out) {
  if (from <= to) {
    if (auto scaled = decimal::TryRescale(value, from, to, 38)) {
      out = *scaled;
      return Outcome::Value;
    }
    // Past 38 digits: above (or below) every value of the column.
    const bool above = value > 0;
    switch (op) {
      case CompareOp::Equal: return Outcome::NoRow;
      case CompareOp::NotEqual: return Outcome::EveryValue;
      case CompareOp::Less:
      case CompareOp::LessEqual: return above ? Outcome::EveryValue : Outcome::NoRow;
      case CompareOp::Greater:
      case CompareOp::GreaterEqual: return above ? Outcome::NoRow : Outcome::EveryValue;
    }
  }
  const Int128 unit = decimal::Pow10(from - to);
  const Int128 quotient = value / unit;
  if (value % unit == 0) {
    out = quotient;
    return Outcome::Value;
  }
  // Between two values of the column: floor and floor + 1 at its scale.
  const Int128 floor = quotient - (value < 0 ? 1 : 0);
  switch (op) {
    case CompareOp::Equal: return Outcome::NoRow;
    case CompareOp::NotEqual: return Outcome::EveryValue;
    case CompareOp::Less:
    case CompareOp::LessEqual:
      op = CompareOp::LessEqual;
      out = floor;
      return Outcome::Value;
    case CompareOp::Greater:
    case CompareOp::GreaterEqual:
      op = CompareOp::GreaterEqual;
      out = floor + 1;
      return Outcome::Value;
  }
  return Outcome::Value;
}

}  // namespace

ScanRow::ScanRow(const ScanPlan& plan)
    : values_(plan.width), row_ids_(plan.row_ids), row_id_position_(plan.table->column_count()) {
  for (size_t c = 0; c < plan.table->column_count(); ++c) {
    if (!plan.read[c]) continue;
    read_.push_back(&plan.table->column(c));
    positions_.push_back(c);
  }
}

ScanSelector::ScanSelector(const ScanPlan& plan, ExecContext& context, const EvalRow* outer)
    : plan_(plan), context_(context), outer_(outer) {}

ScanSelector::Test ScanSelector::Ready(const ScanPredicate& predicate) const {
  Test test;
  test.predicate = &predicate;
  test.column = &plan_.table->column(predicate.column);
  test.op = predicate.op;
  const Value value = Evaluate(*predicate.value, EvalRow{nullptr, outer_}, context_);
  if (value.is_null) {
    test.kind = Test::Kind::NoRow;  // unknown for every row
    return test;
  }
  const DataType& type = test.column->type();
  switch (test.column->storage()) {
    case Column::Storage::Int32:
    case Column::Storage::Int:
      if (IsInteger(type.id) && IsInteger(value.type)) {
        test.kind = Test::Kind::Integer;
        test.integer = value.i;
      } else if (IsDateOrTime(type.id) && value.type == type.id && value.scale == type.scale) {
        test.kind = Test::Kind::Integer;  // days, ticks or time units alike
        test.integer = value.i;
      }
      return test;
    case Column::Storage::Decimal: {
      if (!IsExactNumeric(value.type)) return test;
      const bool scaled = value.type == TypeId::Decimal || value.type == TypeId::Money;
      switch (AtScale(scaled ? value.dec : Int128{value.i}, scaled ? value.scale : 0, type.scale, test.op,
                      test.decimal)) {
        case Outcome::Value: test.kind = Test::Kind::Decimal; break;
        case Outcome::NoRow: test.kind = Test::Kind::NoRow; break;
        case Outcome::EveryValue: test.kind = Test::Kind::EveryValue; break;
      }
      return test;
    }
    case Column::Storage::Float:
      if (value.type == TypeId::Float) {
        test.kind = Test::Kind::Float;
        test.real = value.f;
      }
      return test;
    case Column::Storage::String:
    case Column::Storage::None:
      return test;
  }
  return test;
}

void ScanSelector::Prepare() {
  prepared_ = true;
  for (const ScanPredicate& predicate : plan_.predicates) tests_.push_back(Ready(predicate));
  scratch_.resize(plan_.width);
}

bool ScanSelector::Typed() {
  if (!prepared_) Prepare();
  return std::none_of(tests_.begin(), tests_.end(), [](const Test& test) { return test.kind == Test::Kind::RowByRow; });
}

size_t ScanSelector::Select(size_t begin, size_t end, uint32_t* out) {
  if (!prepared_) Prepare();
  CheckInterrupt();
  size_t count = end - begin;
  std::iota(out, out + count, static_cast<uint32_t>(begin));
  for (const Test& test : tests_) {
    if (count == 0) break;
    count = Keep(test, out, count);
  }
  return count;
}

size_t ScanSelector::Keep(const Test& test, uint32_t* rows, size_t count) {
  const Column& column = *test.column;
  switch (test.kind) {
    case Test::Kind::Integer:
      if (column.storage() == Column::Storage::Int32) {
        return KeepCompared(column, column.int32s(), test.op, test.integer, rows, count);
      }
      return KeepCompared(column, column.int64s(), test.op, test.integer, rows, count);
    case Test::Kind::Decimal:
      return KeepCompared(column, column.decimals(), test.op, test.decimal, rows, count);
    case Test::Kind::Float:
      return KeepCompared(column, column.floats(), test.op, test.real, rows, count);
    case Test::Kind::NoRow:
      return 0;
    case Test::Kind::EveryValue:
      return KeepNotNull(column, rows, count);
    case Test::Kind::RowByRow:
      return KeepRowByRow(test, rows, count);
  }
  return count;
}

size_t ScanSelector::KeepRowByRow(const Test& test, uint32_t* rows, size_t count) {
  const ScanPredicate& predicate = *test.predicate;
  size_t kept = 0;
  for (size_t k = 0; k < count; ++k) {
    test.column->Read(rows[k], scratch_[predicate.column]);
    rows[kept] = rows[k];
    kept += static_cast<size_t>(IsTrue(Evaluate(*predicate.conjunct, EvalRow{scratch_.data(), outer_}, context_)));
  }
  return kept;
}

const ScanPlan* ScanUnderProjection(const PlanNode& plan, std::vector<const BoundExpr*>& filters,
                                    std::vector<size_t>& passed) {
  passed.clear();
  if (plan.kind != PlanKind::Project) {
    const ScanPlan* scan = ScanUnderFilters(plan, filters);
    if (scan) passed.resize(plan.width);
    std::iota(passed.begin(), passed.end(), size_t{0});
    return scan;
  }
  const auto& project = static_cast<const ProjectPlan&>(plan);
  std::vector<const BoundExpr*> below;
  const ScanPlan* scan = ScanUnderFilters(*project.input, below);
  if (!scan) return nullptr;
  const Table& table = *scan->table;
  for (size_t i = 0; i < project.exprs.size(); ++i) {
    if (!project.live.empty() && !project.live[i]) {
      passed.push_back(kNotPassed);
      continue;
    }
    const BoundExpr& expr = *project.exprs[i];
    const auto* column = expr.As<bound::Column>();
    if (!column || column->depth != 0) return nullptr;
    const auto position = static_cast<size_t>(column->position);
    // A column passed on as it is stored, or the scan's row id.
    const bool same = position < table.column_count() ? table.column(position).type() == expr.type
                                                      : scan->row_ids && position == table.column_count();
    if (!same) return nullptr;
    passed.push_back(position);
  }
  filters.insert(filters.end(), below.begin(), below.end());
  return scan;
}

}  // namespace orv::engine
