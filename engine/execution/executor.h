// The executor's entry points: an operator tree runs either to a stored
// Relation or as a stream of rows into a sink.
#pragma once

#include <functional>
#include <type_traits>

#include "engine/common/interrupt.h"
#include "engine/execution/exec_context.h"
#include "engine/planner/plan.h"

namespace orv::engine {

// Where a streaming operator hands its rows, one at a time; the row is valid
// only during the call. A non-owning reference to a callable. Every row
// handed on is also where a long query notices a cancel or its time-out.
// A sink that has all the rows it wants says so by throwing EnoughRows (see
// StreamFirstRows), which ends every loop feeding it.
class RowSink {
 public:
  // Not for RowSink itself: copying a sink must copy it, not wrap a
  // pointer to a copy that may be gone when the rows come.
  template <typename F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, RowSink>)
  RowSink(F& f)  // NOLINT: implicit by design, sinks are lambdas
      : object_(&f), call_([](void* object, const Value* row) { (*static_cast<F*>(object))(row); }) {}
  void operator()(const Value* row) const {
    CheckInterrupt();
    call_(object_, row);
  }

 private:
  void* object_;
  void (*call_)(void*, const Value*);
};

// Runs an operator tree to completion and returns its rows. `outer` is the
// row of the enclosing query for correlated subqueries (null at the top).
Relation ExecutePlan(const PlanNode& plan, ExecContext& context, const EvalRow* outer);
// Hands the rows to `sink` as they are made: scans, filters, projections and
// the probe side of joins pass rows on without storing them.
void StreamPlan(const PlanNode& plan, ExecContext& context, const EvalRow* outer, RowSink sink);

// The first `limit` rows of `plan`: the operators below stop producing rows
// (scans stop reading, joins stop pairing) once they are there, so TOP,
// EXISTS, IN and scalar subqueries answer without running their whole input.
Relation StreamFirstRows(const PlanNode& plan, ExecContext& context, const EvalRow* outer, size_t limit);
// Hands each row to `sink` until it returns false; then the input stops.
void StreamWhile(const PlanNode& plan, ExecContext& context, const EvalRow* outer,
                 const std::function<bool(const Value*)>& sink);

// How many rows `plan` yields at least, as far as is known before running it
// (a scan's rows, kept by projections and by the left side of a LEFT JOIN),
// so destinations are sized once; 0 when nothing is known.
size_t KnownRowCount(const PlanNode& plan);
// About how many rows `plan` may yield, to size a destination that has
// already proved large: as many as the largest table its filters and joins
// read; 0 when there is no telling (aggregates, sorts and the like).
size_t ExpectedRowCount(const PlanNode& plan);

// One operator each, in their own files; the two functions above dispatch.
void StreamScan(const ScanPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);
void StreamFilter(const FilterPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);
void StreamProject(const ProjectPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);
void StreamJoin(const JoinPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);
void StreamAggregate(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);
Relation ExecuteSort(const SortPlan& plan, ExecContext& context, const EvalRow* outer);
// ORDER BY's comparison: NULL lowest, strings by the collation.
int CompareSortValues(const Value& a, const Value& b);
Relation ExecuteDistinct(const DistinctPlan& plan, ExecContext& context, const EvalRow* outer);
Relation ExecuteTop(const TopPlan& plan, ExecContext& context, const EvalRow* outer);
// The first of each set of equal rows (NULLs equal), in input order.
Relation DistinctRows(const Relation& input);
Relation ExecuteSetOperation(const SetOperationPlan& plan, ExecContext& context, const EvalRow* outer);
void StreamValues(const ValuesPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);
void StreamApply(const ApplyPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);
Relation WorkingTableRows(const WorkingTablePlan& plan, ExecContext& context);
Relation ExecuteRecursiveCte(const RecursiveCtePlan& plan, ExecContext& context, const EvalRow* outer);
Relation ExecuteWindow(const WindowPlan& plan, ExecContext& context, const EvalRow* outer);
Relation ExecuteLimit(const LimitPlan& plan, ExecContext& context, const EvalRow* outer);
// GROUPING SETS: every set's groups, each row with its GROUPING flags.
void StreamGroupingSets(const AggregatePlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);

}  // namespace orv::engine
