#include "engine/execution/column_groups.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "engine/common/decimal.h"
#include "engine/execution/column_split.h"
#include "engine/execution/copied_item.h"
#include "engine/execution/rollup.h"
#include "engine/execution/scan_selector.h"
#include "engine/storage/column.h"
#include "engine/storage/huge_pages.h"
#include "engine/storage/table.h"

namespace orv::engine {
namespace {

const Column* ScanColumn(const ScanPlan& scan, const BoundExpr& expr) {
  const auto* column = expr.As<bound::Column>();
  if (!column || column->depth != 0 || static_cast<size_t>(column->position) >= scan.table->column_count()) {
    return nullptr;
  }
  return &scan.table->column(static_cast<size_t>(column->position));
}

bool IntegerStored(const Column& column) {
  return column.storage() == Column::Storage::Int32 || column.storage() == Column::Storage::Int;
}

// The range of every stored number of an integer column (NULL rows' zeros
// included: a wider range costs a bit at most).
template <typename Stored>
void StoredRange(const Stored* data, size_t rows, int64_t& low, int64_t& high) {
  Stored lo = std::numeric_limits<Stored>::max();
  Stored hi = std::numeric_limits<Stored>::min();
  for (size_t r = 0; r < rows; ++r) {
    lo = std::min(lo, data[r]);
    hi = std::max(hi, data[r]);
  }
  low = lo;
  high = hi;
}

// A column's stored numbers as bytes, and the width of one.
std::pair<const char*, size_t> StoredNumbers(const Column& column) {
  switch (column.storage()) {
    case Column::Storage::Int32: return {reinterpret_cast<const char*>(column.int32s()), sizeof(int32_t)};
    case Column::Storage::Int: return {reinterpret_cast<const char*>(column.int64s()), sizeof(int64_t)};
    case Column::Storage::Decimal: return {reinterpret_cast<const char*>(column.decimals()), sizeof(Int128)};
    default: return {nullptr, 0};
  }
}

// A missing row (an outer join's) is NULL, as is a stored NULL.
inline bool NullAt(const Column& column, uint32_t row) { return row == Column::kNoRow || column.IsNull(row); }

template <typename Stored>
void PushKeys(const KeyPacking& packing, size_t c, const Column& column, const Stored* data, const uint32_t* rows,
              size_t count, uint64_t* packed) {
  for (size_t i = 0; i < count; ++i) {
    const uint32_t row = rows[i];
    const bool null = NullAt(column, row);
    packed[i] = packing.Push(packed[i], c, null, null ? 0 : static_cast<int64_t>(data[row]));
  }
}

// The state of the i-th row: its group's, or the one group's without `ids`.
inline size_t Slot(const uint32_t* ids, size_t i, size_t stride) { return ids ? ids[i] * stride : 0; }

template <typename Stored>
Stored Current(const Value& value) {
  if constexpr (std::is_same_v<Stored, Int128>) {
    return value.dec;
  } else {
    return static_cast<Stored>(value.i);
  }
}

// Exact sums in 128 bits, false as soon as one leaves [low, high]; with the
// sum of the values' magnitudes, which bounds every sum in any order. A NULL
// adds `if_null` unless that is NULL too.
template <typename Stored>
bool SumRows(const Column& column, const Stored* data, const Value& if_null, AggregateState* states, size_t stride,
             const uint32_t* rows, const uint32_t* ids, size_t count, Int128 low, Int128 high, Int128& magnitude) {
  // Rows far apart in the column (those a join kept) are each fetched a few
  // rows ahead; a scan's close rows come in fast enough on their own.
  constexpr size_t kAhead = 16;
  const bool apart = count > kAhead && rows[count - 1] - rows[0] > 2 * count;
  const auto fallback = static_cast<Int128>(Current<Stored>(if_null));
  for (size_t i = 0; i < count; ++i) {
    if (apart && i + kAhead < count) __builtin_prefetch(data + rows[i + kAhead]);
    const uint32_t row = rows[i];
    const bool null = NullAt(column, row);
    if (null && if_null.is_null) continue;
    AggregateState& state = states[Slot(ids, i, stride)];
    const Int128 value = null ? fallback : static_cast<Int128>(data[row]);
    Int128 sum;
    if (__builtin_add_overflow(state.running.dec, value, &sum) || sum < low || sum > high ||
        __builtin_add_overflow(magnitude, value < 0 ? -value : value, &magnitude)) {
      return false;
    }
    state.running.dec = sum;
    ++state.count;
    state.has_value = true;
  }
  return true;
}

// MIN and MAX keep the column's own value, read as a scan reads it (or
// `if_null` for a NULL, unless that is NULL too).
template <typename Stored, bool kMin>
void ExtremeRows(const Column& column, const Stored* data, const Value& if_null, AggregateState* states,
                 size_t stride, const uint32_t* rows, const uint32_t* ids, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const uint32_t row = rows[i];
    const bool null = NullAt(column, row);
    if (null && if_null.is_null) continue;
    AggregateState& state = states[Slot(ids, i, stride)];
    const Stored v = null ? Current<Stored>(if_null) : data[row];
    if (state.count++ == 0 || (kMin ? v < Current<Stored>(state.running) : v > Current<Stored>(state.running))) {
      if (null) {
        state.running = if_null;
      } else {
        column.Read(row, state.running);
      }
    }
    state.has_value = true;
  }
}

template <typename Stored>
void ExtremeRows(AggregateKind kind, const Column& column, const Stored* data, const Value& if_null,
                 AggregateState* states, size_t stride, const uint32_t* rows, const uint32_t* ids, size_t count) {
  if (kind == AggregateKind::Min) {
    return ExtremeRows<Stored, true>(column, data, if_null, states, stride, rows, ids, count);
  }
  ExtremeRows<Stored, false>(column, data, if_null, states, stride, rows, ids, count);
}

// ISNULL(column, constant) as an argument: the constant as the column holds
// its values; nullopt when it is not a number of the column's type.
std::optional<Value> StoredReplacement(const BoundExpr& argument, const Column& column) {
  const auto* call = argument.As<bound::Function>();
  const auto* constant = call->arguments[1]->As<bound::Constant>();
  const Column::Storage storage = column.storage();
  if (!IntegerStored(column) && storage != Column::Storage::Decimal) return std::nullopt;
  if (constant->value.is_null) return constant->value;  // ISNULL(x, NULL) is x
  StringArena scratch;
  try {
    return CastValue(constant->value, column.type(), scratch);
  } catch (const SqlError&) {
    return std::nullopt;  // the row path raises it where a NULL needs it
  }
}

}  // namespace

std::optional<ColumnGroups> ColumnGroups::Prepare(const AggregatePlan& plan) {
  if (plan.input->kind != PlanKind::Scan) return std::nullopt;
  const auto& scan = static_cast<const ScanPlan&>(*plan.input);
  const auto locate = [&](const BoundExpr& expr, size_t& table, bool& missing) {
    table = 0;
    missing = false;
    return ScanColumn(scan, expr);
  };
  std::optional<ColumnGroups> groups = Prepare(plan, locate, false);
  if (groups) groups->scan_ = &scan;
  return groups;
}

std::optional<ColumnGroups> ColumnGroups::Prepare(const AggregatePlan& plan, const Locate& locate, bool joined) {
  if (!plan.sets.empty() || (plan.rollup && plan.groups.empty())) return std::nullopt;
  ColumnGroups groups(plan);
  std::vector<int64_t> lows;
  std::vector<int64_t> highs;
  // ROLLUP over a scan's integer keys sorts the rows and writes each group
  // as it is summed, as the row path does (an overflow comes after the
  // groups before it). Over other keys the row path hashes, raising an
  // overflow before it writes any row: so do the hashed groups here.
  groups.sorted_ = plan.rollup && !joined;
  for (const auto& expr : plan.groups) {
    size_t table = 0;
    bool missing = false;
    const Column* column = locate(*expr, table, missing);
    if (!column) return std::nullopt;
    TextRanks ranks;
    lows.push_back(0);
    highs.push_back(-1);
    if (column->storage() == Column::Storage::Int32) {
      StoredRange(column->int32s(), column->size(), lows.back(), highs.back());
    } else if (column->storage() == Column::Storage::Int) {
      StoredRange(column->int64s(), column->size(), lows.back(), highs.back());
    } else if (RankTexts(*column, ranks)) {
      lows.back() = 1;
      highs.back() = static_cast<int64_t>(ranks.texts.size());
    } else {
      return std::nullopt;
    }
    groups.sorted_ = groups.sorted_ && IntegerStored(*column) && SortsAsInteger(column->type().id) && !missing;
    groups.keys_.push_back(column);
    groups.key_tables_.push_back(table);
    groups.key_ranks_.push_back(std::move(ranks));
  }
  if (!groups.packing_.Fit(lows, highs)) return std::nullopt;

  for (const AggregateCall& call : plan.aggregates) {
    if (call.distinct) return std::nullopt;
    Lane lane;
    lane.kind = call.kind;
    if (call.argument) {
      // A column, or ISNULL of one with a constant.
      const auto* isnull = ColumnRead(*call.argument) ? call.argument->As<bound::Function>() : nullptr;
      const BoundExpr& read = isnull ? *isnull->arguments[0] : *call.argument;
      bool missing = false;  // a missing row reads NULL, which the loops test for
      lane.column = locate(read, lane.table, missing);
      if (!lane.column || lane.column->type() != call.argument_type) return std::nullopt;
      if (isnull) {
        std::optional<Value> replacement = StoredReplacement(*call.argument, *lane.column);
        if (!replacement) return std::nullopt;
        lane.if_null = *replacement;
      }
    }
    const Column::Storage storage = lane.column ? lane.column->storage() : Column::Storage::None;
    const bool number = lane.column && (IntegerStored(*lane.column) || storage == Column::Storage::Decimal);
    switch (call.kind) {
      case AggregateKind::CountStar:
      case AggregateKind::Count:
        break;
      case AggregateKind::Min:
      case AggregateKind::Max:
        if (!number) return std::nullopt;
        break;
      case AggregateKind::Sum:
      case AggregateKind::Avg:
        // Integer sums run in their result type (int for the narrow ones),
        // the others within 38 digits.
        if (storage == Column::Storage::Decimal) {
          lane.low = -decimal::kMaxUnscaled;
          lane.high = decimal::kMaxUnscaled;
        } else if (number && IsInteger(call.argument_type.id)) {
          const bool wide = call.argument_type.id == TypeId::BigInt;
          lane.low = wide ? INT64_MIN : INT32_MIN;
          lane.high = wide ? INT64_MAX : INT32_MAX;
        } else {
          return std::nullopt;
        }
        break;
      default:
        return std::nullopt;
    }
    groups.lanes_.push_back(lane);
  }
  return groups;
}

void ColumnGroups::Reserve(ColumnGroupsPart& part, size_t rows) const {
  if (sorted_) {
    ReserveHugePages(part.keys, rows);
    ReserveHugePages(part.rows, rows);
    return;
  }
  // No more groups than rows or than distinct packed keys. The room is
  // reserved untouched, so groups that never come cost no memory.
  const size_t keys = packing_.total_bits >= 63 ? SIZE_MAX : size_t{1} << packing_.total_bits;
  ReserveHugePages(part.states, std::min(rows, keys) * lanes_.size());
}

void ColumnGroups::PackKeys(const uint32_t* const* rows, size_t count, uint64_t* packed) const {
  std::fill(packed, packed + count, 0);
  for (size_t c = 0; c < keys_.size(); ++c) {
    const Column& column = *keys_[c];
    const uint32_t* at = rows[key_tables_[c]];
    if (column.storage() == Column::Storage::String) {
      PushKeys(packing_, c, column, key_ranks_[c].ranks.data(), at, count, packed);
    } else if (column.storage() == Column::Storage::Int32) {
      PushKeys(packing_, c, column, column.int32s(), at, count, packed);
    } else {
      PushKeys(packing_, c, column, column.int64s(), at, count, packed);
    }
  }
}

void ColumnGroups::Add(ColumnGroupsPart& part, const uint32_t* const* rows, size_t count) const {
  uint64_t packed[ScanSelector::kBlock];
  if (sorted_) {
    PackKeys(rows, count, packed);
    part.keys.insert(part.keys.end(), packed, packed + count);
    part.rows.insert(part.rows.end(), rows[0], rows[0] + count);
    return;
  }
  const size_t a = lanes_.size();
  uint32_t ids[ScanSelector::kBlock];
  if (keys_.empty()) {
    // Without GROUP BY every row is the one group's.
    if (part.keys.empty()) part.keys.push_back(0);
    std::fill(ids, ids + count, 0u);
  } else {
    PackKeys(rows, count, packed);
    // The block's slots are fetched before any is looked at.
    for (size_t i = 0; i < count; ++i) part.index.Prefetch(static_cast<int64_t>(packed[i]));
    for (size_t i = 0; i < count; ++i) {
      size_t& entry = part.index.Entry(static_cast<int64_t>(packed[i]));
      if (entry == IntKeyIndex::kNew) {
        entry = part.keys.size();
        part.keys.push_back(packed[i]);
      }
      ids[i] = static_cast<uint32_t>(entry);
    }
  }
  if (part.keys.size() * a > part.states.size()) part.states.resize(part.keys.size() * a);
  part.magnitudes.resize(a);
  for (size_t k = 0; k < a && !part.overflow; ++k) {
    const Lane& lane = lanes_[k];
    part.overflow = !AddLane(lane, part.states.data() + k, part.magnitudes[k], rows[lane.table], ids, count);
  }
}

bool ColumnGroups::AddLane(const Lane& lane, AggregateState* states, Int128& magnitude, const uint32_t* rows,
                           const uint32_t* ids, size_t count) const {
  const size_t stride = lanes_.size();
  if (lane.kind == AggregateKind::CountStar) {
    for (size_t i = 0; i < count; ++i) ++states[Slot(ids, i, stride)].count;
    return true;
  }
  const Column& column = *lane.column;
  if (lane.kind == AggregateKind::Count) {
    for (size_t i = 0; i < count; ++i) {
      if (NullAt(column, rows[i]) && lane.if_null.is_null) continue;
      AggregateState& state = states[Slot(ids, i, stride)];
      ++state.count;
      state.has_value = true;
    }
    return true;
  }
  const bool sum = lane.kind == AggregateKind::Sum || lane.kind == AggregateKind::Avg;
  auto add = [&](const auto* data) {
    if (sum) return SumRows(column, data, lane.if_null, states, stride, rows, ids, count, lane.low, lane.high, magnitude);
    ExtremeRows(lane.kind, column, data, lane.if_null, states, stride, rows, ids, count);
    return true;
  };
  switch (column.storage()) {
    case Column::Storage::Int32:
      return add(column.int32s());
    case Column::Storage::Int:
      return add(column.int64s());
    case Column::Storage::Decimal:
      return add(column.decimals());
    default:
      return true;
  }
}

void ColumnGroups::KeyValues(uint64_t packed, std::vector<Value>& key) const {
  for (size_t c = 0; c < keys_.size(); ++c) {
    if (!plan_->live.empty() && !plan_->live[c]) continue;  // no row shows it
    const DataType& type = keys_[c]->type();
    // As a scan reads the column: a 64-bit one keeps its time's scale.
    const uint8_t scale = keys_[c]->storage() == Column::Storage::Int ? type.scale : 0;
    const std::optional<int64_t> v = packing_.Unpack(packed, c);
    if (v && keys_[c]->storage() == Column::Storage::String) {
      const std::string_view text = key_ranks_[c].texts[static_cast<size_t>(*v - 1)];
      key[c].Store(type.id, false, 0, 0, static_cast<uint32_t>(text.size()), reinterpret_cast<uintptr_t>(text.data()),
                   0);
    } else if (v) {
      key[c].Store(type.id, false, 0, scale, 0, static_cast<uint64_t>(*v), 0);
    } else {
      key[c].SetNull(type.id);
    }
  }
}

void ColumnGroups::Write(ColumnGroupsPart& part, StringArena& arena, RowSink sink) const {
  if (plan_->rollup) return sorted_ ? WriteRollup(part, arena, sink) : WriteGroupsRollup(part, sink);
  const AggregatePlan& plan = *plan_;
  const size_t a = lanes_.size();
  std::vector<Value> key(keys_.size());
  std::vector<Value> result(plan.width);
  if (keys_.empty()) {
    // An aggregate without GROUP BY answers even for no rows.
    part.states.resize(a);
    return EmitAggregateRow(plan, nullptr, 0, part.states.data(), result, sink);
  }
  for (size_t g = 0; g < part.keys.size(); ++g) {
    KeyValues(part.keys[g], key);
    EmitAggregateRow(plan, key.data(), keys_.size(), part.states.data() + g * a, result, sink);
  }
}

// The rows sorted on their packed keys, which sort in rollup order (NULL
// first, then ascending), each run of equal keys one group. The radix sort
// is stable: a group's rows are added in table order, as the sorted row path
// adds them, and an overflow is raised by adding the group again as it does.
void ColumnGroups::WriteRollup(ColumnGroupsPart& part, StringArena& arena, RowSink sink) const {
  const size_t a = lanes_.size();
  RadixSort(part.keys, part.rows, packing_.total_bits);
  const std::vector<uint64_t>& keys = part.keys;
  const std::vector<uint32_t>& rows = part.rows;
  std::vector<Value> key(keys_.size());
  std::vector<AggregateState> states(a);
  RollupWriter writer(*plan_, sink);
  // Rows are read out of their table order: each argument is fetched a few
  // groups ahead, straight from the stored numbers.
  std::vector<std::pair<const char*, size_t>> stored;  // per argument column: its numbers, their width
  for (const Lane& lane : lanes_) {
    if (lane.column && StoredNumbers(*lane.column).second > 0) stored.push_back(StoredNumbers(*lane.column));
  }
  constexpr size_t kAhead = 32;
  size_t fetched = 0;
  for (size_t i = 0; i < rows.size();) {
    size_t j = i + 1;
    while (j < rows.size() && keys[j] == keys[i]) ++j;
    for (; fetched < std::min(j + kAhead, rows.size()); ++fetched) {
      for (const auto& [data, width] : stored) __builtin_prefetch(data + rows[fetched] * width);
    }
    std::fill(states.begin(), states.end(), AggregateState{});
    for (size_t k = 0; k < a; ++k) {
      Int128 magnitude = 0;  // one thread adds the sorted rows: no bound needed
      if (!AddLane(lanes_[k], states.data() + k, magnitude, rows.data() + i, nullptr, j - i)) {
        AddRowByRow(rows.data() + i, j - i, states.data(), arena);
        break;
      }
    }
    KeyValues(keys[i], key);
    writer.Add(key.data(), states.data(), i == 0 ? 0 : packing_.FirstDifferent(keys[i - 1], keys[i]));
    i = j;
  }
  writer.Finish();
}

void ColumnGroups::WriteGroupsRollup(ColumnGroupsPart& part, RowSink sink) const {
  std::vector<uint32_t> order(part.keys.size());
  std::iota(order.begin(), order.end(), 0u);
  RadixSort(part.keys, order, packing_.total_bits);  // the groups' keys are not looked up again
  std::vector<Value> key(keys_.size());
  RollupWriter writer(*plan_, sink);
  for (size_t i = 0; i < part.keys.size(); ++i) {
    KeyValues(part.keys[i], key);
    const size_t differ = i == 0 ? 0 : packing_.FirstDifferent(part.keys[i - 1], part.keys[i]);
    writer.Add(key.data(), part.states.data() + order[i] * lanes_.size(), differ);
  }
  writer.Finish();
}

void ColumnGroups::AddRowByRow(const uint32_t* rows, size_t count, AggregateState* states, StringArena& arena) const {
  std::fill(states, states + lanes_.size(), AggregateState{});
  for (size_t i = 0; i < count; ++i) {
    for (size_t k = 0; k < lanes_.size(); ++k) {
      const AggregateCall& call = plan_->aggregates[k];
      const Lane& lane = lanes_[k];
      Value argument = lane.column ? lane.column->Get(rows[i]) : Value::Integer(TypeId::Int, 1);
      if (argument.is_null && !lane.if_null.is_null) argument = lane.if_null;
      Accumulate(call.kind, states[k], argument, call.argument_type, arena);
    }
  }
}

bool StreamColumnGroups(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  if (plan.input->kind != PlanKind::Scan) return StreamJoinedGroups(plan, context, outer, sink);
  const std::optional<ColumnGroups> groups = ColumnGroups::Prepare(plan);
  if (!groups) return false;
  ColumnGroupsPart part;
  const ScanPlan& scan = groups->scan();
  const size_t rows = scan.table->row_count();
  const size_t threads = StatementThreads(context);
  if (threads < 2 || !CollectInParallel(*groups, context, outer, threads, part)) {
    part = ColumnGroupsPart{};
    groups->Reserve(part, rows);
    ForEachKeptBlock(scan, context, outer, 0, rows, [&](const uint32_t* kept, size_t count) {
      groups->Add(part, &kept, count);
      return !part.overflow;
    });
  }
  if (part.overflow) return false;
  groups->Write(part, context.arena, sink);
  return true;
}

}  // namespace orv::engine
