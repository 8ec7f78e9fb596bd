// ColumnGroups over several threads. Each thread takes a range of whole
// blocks of the table and finds its groups as one thread would; the parts
// are merged in row order, so groups keep the order of their first rows and
// ROLLUP's stable sort sees the rows in table order. Exact sums are the same
// in any order unless one could have overflowed on the way, which the sum of
// the values' magnitudes rules out (else the query runs on one thread).
// Float sums depend on the order of their additions: they never get here.
#include <atomic>
#include <exception>
#include <optional>

#include "engine/execution/column_groups.h"
#include "engine/execution/scan_selector.h"
#include "engine/execution/worker_threads.h"
#include "engine/storage/table.h"

namespace orv::engine {

bool ColumnGroups::Merge(ColumnGroupsPart& into, const ColumnGroupsPart& from) const {
  if (into.overflow || from.overflow) return false;
  if (sorted_) {
    into.keys.insert(into.keys.end(), from.keys.begin(), from.keys.end());
    into.rows.insert(into.rows.end(), from.rows.begin(), from.rows.end());
    return true;
  }
  const size_t a = lanes_.size();
  into.magnitudes.resize(a);
  for (size_t k = 0; k < std::min(a, from.magnitudes.size()); ++k) {
    // Within the bound no sum overflows, in any order and in the merging below.
    if (__builtin_add_overflow(into.magnitudes[k], from.magnitudes[k], &into.magnitudes[k]) ||
        into.magnitudes[k] > lanes_[k].high) {
      return false;
    }
  }
  const bool one_group = keys_.empty();
  for (size_t g = 0; g < from.keys.size(); ++g) {
    size_t group = 0;
    if (one_group && into.keys.empty()) into.keys.push_back(0);
    if (!one_group) {
      size_t& entry = into.index.Entry(static_cast<int64_t>(from.keys[g]));
      if (entry == IntKeyIndex::kNew) {
        entry = into.keys.size();
        into.keys.push_back(from.keys[g]);
      }
      group = entry;
    }
    if (into.states.size() < into.keys.size() * a) into.states.resize(into.keys.size() * a);
    for (size_t k = 0; k < a; ++k) {
      const AggregateCall& call = plan_->aggregates[k];
      MergeAggregate(call.kind, into.states[group * a + k], from.states[g * a + k], call.argument_type);
    }
  }
  return true;
}

bool CollectInParallel(const ColumnGroups& groups, ExecContext& context, const EvalRow* outer, size_t threads,
                       ColumnGroupsPart& part) {
  const ScanPlan& scan = groups.scan();
  const size_t rows = scan.table->row_count();
  const size_t blocks = (rows + ScanSelector::kBlock - 1) / ScanSelector::kBlock;
  threads = std::min(threads, blocks);
  if (threads < 2) return false;
  // The predicates' values are worked out here, once; each thread tests the
  // stored numbers with a copy.
  std::optional<ScanSelector> selector;
  if (!scan.predicates.empty()) {
    selector.emplace(scan, context, outer);
    if (!selector->Typed()) return false;
  }
  std::vector<ColumnGroupsPart> parts(threads);
  std::vector<std::exception_ptr> errors(threads);
  std::atomic<bool> stop{false};
  auto begin = [&](size_t t) { return std::min(blocks * t / threads * ScanSelector::kBlock, rows); };
  for (size_t t = 0; t < threads; ++t) groups.Reserve(parts[t], begin(t + 1) - begin(t));
  auto work = [&](size_t t) {
    try {
      std::optional<ScanSelector> own = selector;
      ForEachKeptBlock(own ? &*own : nullptr, begin(t), begin(t + 1), [&](const uint32_t* kept, size_t count) {
        if (stop.load(std::memory_order_relaxed)) return false;
        groups.Add(parts[t], &kept, count);
        if (parts[t].overflow) stop = true;
        return !parts[t].overflow;
      });
    } catch (...) {
      errors[t] = std::current_exception();
      stop = true;
    }
  };
  RunOnThreads(threads, work, [&] { stop = true; });
  // One error for the statement: the first part's that failed.
  for (const std::exception_ptr& error : errors) {
    if (error) std::rethrow_exception(error);
  }
  for (size_t t = 1; t < threads; ++t) {
    if (!groups.Merge(parts[0], parts[t])) return false;
  }
  part = std::move(parts[0]);
  return !part.overflow;
}

}  // namespace orv::engine
