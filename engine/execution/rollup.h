// Output rows of grouped queries, and GROUP BY ... WITH ROLLUP from groups in
// key order: each full group's row, then the subtotal of every prefix of the
// group list that ends with it, the grand total last (the order SQL Server's
// sorted rollup gives). Subtotals are merged from the groups' states.
#pragma once

#include <vector>

#include "engine/execution/executor.h"
#include "engine/function/scalar.h"

namespace orv::engine {

// One output row: the first `kept` group values (the rest rolled up to NULL),
// the GROUPING flags, then the finished aggregates, of these the columns the
// plan's readers read; with `every_key` all the values and flags, for rows
// sorted on them before they go out. `result` is scratch of the plan's width.
void EmitAggregateRow(const AggregatePlan& plan, const Value* key, size_t kept, const AggregateState* states,
                      std::vector<Value>& result, RowSink sink, bool every_key = false);

class RollupWriter {
 public:
  RollupWriter(const AggregatePlan& plan, RowSink sink);
  // The next full group in key order: its key values (valid until the next
  // call) and aggregate states.
  void Add(const Value* key, const AggregateState* states);
  // The same, told the first key column that differs from the last group's
  // (unused for the first group).
  void Add(const Value* key, const AggregateState* states, size_t differ);
  // Writes the subtotals still open and the grand total (alone without groups).
  void Finish();

 private:
  const AggregatePlan& plan_;
  RowSink sink_;
  size_t n_;
  size_t a_;
  std::vector<AggregateState> running_;  // the open group of the prefix of width w: running_[w * a_ + k]
  std::vector<Value> previous_;          // the last group's key
  bool any_ = false;
  std::vector<Value> result_;
};

// Integers and datetimes: the group keys ROLLUP sorts rather than hashes.
inline bool SortsAsInteger(TypeId id) { return IsInteger(id) || id == TypeId::DateTime; }

// ROLLUP over group expressions that are all integers (or datetimes), without
// DISTINCT aggregates: the rows are sorted on their keys instead of hashed.
// Returns false, having read nothing, for any other grouped query.
bool StreamIntegerRollup(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);

}  // namespace orv::engine
