// GROUP BY (with or without ROLLUP, or no GROUP BY at all) over a table scan
// or a chain of joins whose rows come as positions in their tables
// (position_source.h), whose group keys are integer columns or texts of a
// small table, and whose aggregates are COUNT, or SUM, AVG, MIN and MAX of
// integer and exact decimal columns, or of ISNULL of one with a constant:
// keys and arguments are read from the columns a block of rows at a time,
// each row's keys packed into one integer for one hash lookup, and each
// aggregate added by a loop of its own type. ROLLUP over a scan's integer
// keys sorts the rows; any other ROLLUP sorts the groups. Any other shape
// takes the row path.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "engine/execution/executor.h"
#include "engine/execution/int_key_index.h"
#include "engine/execution/key_packing.h"
#include "engine/execution/text_ranks.h"
#include "engine/function/scalar.h"

namespace orv::engine {

class Column;

// What one run over some of the rows found. Hashed (GROUP BY, none, or
// ROLLUP but over a scan's integer keys): per group in the order their first
// rows came, its packed key and states. Sorted (that ROLLUP): per kept row,
// its packed key and row number, in table order.
struct ColumnGroupsPart {
  IntKeyIndex index;
  std::vector<uint64_t> keys;
  std::vector<AggregateState> states;  // hashed: per group, one per aggregate
  std::vector<uint32_t> rows;          // sorted
  std::vector<Int128> magnitudes;      // per aggregate: the sum of |value| over what its SUM or AVG added
  // An exact sum left its type's range (hashed only): the row path raises
  // the error exactly where and as it happens.
  bool overflow = false;
};

class ColumnGroups {
 public:
  // The column `expr` reads, with the table whose positions locate its rows
  // and whether a row there may be missing (an outer join's, read as NULL);
  // null for anything but a column.
  using Locate = std::function<const Column*(const BoundExpr& expr, size_t& table, bool& missing)>;

  // Over a table scan; nullopt when the plan is not of the shape described above.
  static std::optional<ColumnGroups> Prepare(const AggregatePlan& plan);
  // Over rows that are positions in tables whose columns `locate` finds;
  // `joined`: of a chain of joins, not one table.
  static std::optional<ColumnGroups> Prepare(const AggregatePlan& plan, const Locate& locate, bool joined);

  // Room for what up to `rows` rows bring.
  void Reserve(ColumnGroupsPart& part, size_t rows) const;
  // Adds `count` kept rows into `part`, at most a scan's block: rows[t]
  // holds their positions in table t (a scan's are rows[0]).
  void Add(ColumnGroupsPart& part, const uint32_t* const* rows, size_t count) const;
  // Writes the groups' rows: in first-row order, or WITH ROLLUP in key order
  // with the subtotals.
  void Write(ColumnGroupsPart& part, StringArena& arena, RowSink sink) const;

  // Adds `from`, the part of the rows after those of `into`, to `into`.
  // False, leaving `into` of no use, when an exact sum may have overflowed
  // on one thread: the order of the additions then decides.
  bool Merge(ColumnGroupsPart& into, const ColumnGroupsPart& from) const;

  const ScanPlan& scan() const { return *scan_; }

 private:
  // One aggregate's way of reading its argument.
  struct Lane {
    AggregateKind kind = AggregateKind::CountStar;
    const Column* column = nullptr;  // null for COUNT(*)
    size_t table = 0;                // whose positions locate the column's rows
    Int128 low = 0;                  // an exact sum's range
    Int128 high = 0;
    // ISNULL(column, constant): what a NULL or a missing row reads, typed
    // as the column (NULL: no ISNULL).
    Value if_null;
  };
  explicit ColumnGroups(const AggregatePlan& plan) : plan_(&plan) {}
  void PackKeys(const uint32_t* const* rows, size_t count, uint64_t* packed) const;
  // Adds `rows` into states[ids[i] * lanes_.size()] (states[0] when `ids` is
  // null); false when an exact sum overflows.
  bool AddLane(const Lane& lane, AggregateState* states, Int128& magnitude, const uint32_t* rows,
               const uint32_t* ids, size_t count) const;
  void WriteRollup(ColumnGroupsPart& part, StringArena& arena, RowSink sink) const;
  // The rows into one group's states as the row path adds them, value by value.
  void AddRowByRow(const uint32_t* rows, size_t count, AggregateState* states, StringArena& arena) const;
  // The key values in a packed key that an output row shows.
  void KeyValues(uint64_t packed, std::vector<Value>& key) const;
  // ROLLUP over hashed groups: the groups in key order, with the subtotals.
  void WriteGroupsRollup(ColumnGroupsPart& part, RowSink sink) const;

  const AggregatePlan* plan_;
  const ScanPlan* scan_ = nullptr;
  std::vector<const Column*> keys_;
  std::vector<size_t> key_tables_;  // per key, whose positions locate its rows
  std::vector<TextRanks> key_ranks_;  // per key, a text key's ranks (none for a number)
  bool sorted_ = false;               // ROLLUP over a scan's integer keys: the rows sorted
  KeyPacking packing_;
  std::vector<Lane> lanes_;
};

// Adds the scan's kept rows into `part` on up to `threads` threads, each a
// range of whole blocks, the parts merged in row order. False, with `part`
// of no use, when it would not be the same as on one thread: predicates that
// evaluate expressions, too few rows, an overflow in a part.
bool CollectInParallel(const ColumnGroups& groups, ExecContext& context, const EvalRow* outer, size_t threads,
                       ColumnGroupsPart& part);

// Runs `plan` through ColumnGroups when it has that shape and no exact sum
// overflows; false, having written nothing, otherwise.
bool StreamColumnGroups(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);
// The same over a chain of joins; also false when a filter over the chain
// fails on a row, for the row path to raise its error where it does.
bool StreamJoinedGroups(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);

}  // namespace orv::engine
