// Window functions over the materialized input: per function, the rows are
// ordered by partition and ORDER BY keys (stably), each partition is walked
// once, and the value lands in the function's column of every row. The rows
// come out in the order of the last function's window, as SQL Server's
// segment-and-sequence plans give them.
#include <algorithm>
#include <numeric>

#include "engine/common/errors.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"

namespace orv::engine {
namespace {

using bound::WindowKind;

// The evaluated keys and arguments of one window function, a row each.
struct WindowInput {
  size_t partition_width = 0;
  size_t order_width = 0;
  size_t argument_width = 0;
  std::vector<Value> keys;  // per row: partition values, then order values
  std::vector<Value> arguments;

  const Value* Keys(size_t row) const { return keys.data() + row * (partition_width + order_width); }
  const Value* Order(size_t row) const { return Keys(row) + partition_width; }
  const Value& Argument(size_t row, size_t k) const { return arguments[row * argument_width + k]; }
};

WindowInput EvaluateInputs(const bound::Window& w, const Relation& rows, const EvalRow* outer, ExecContext& context) {
  WindowInput in;
  in.partition_width = w.partition.size();
  in.order_width = w.order.size();
  in.argument_width = w.arguments.size();
  in.keys.reserve(rows.rows * (in.partition_width + in.order_width));
  in.arguments.reserve(rows.rows * in.argument_width);
  for (size_t r = 0; r < rows.rows; ++r) {
    const EvalRow row{rows.Row(r), outer};
    for (const auto& e : w.partition) in.keys.push_back(Evaluate(*e, row, context));
    for (const auto& e : w.order) in.keys.push_back(Evaluate(*e, row, context));
    for (const auto& e : w.arguments) in.arguments.push_back(Evaluate(*e, row, context));
  }
  return in;
}

int CompareOrder(const bound::Window& w, const WindowInput& in, size_t a, size_t b) {
  for (size_t i = 0; i < in.order_width; ++i) {
    const int c = CompareSortValues(in.Order(a)[i], in.Order(b)[i]);
    if (c != 0) return w.descending[i] ? -c : c;
  }
  return 0;
}

bool SamePartition(const WindowInput& in, size_t a, size_t b) {
  for (size_t i = 0; i < in.partition_width; ++i) {
    if (CompareSortValues(in.Keys(a)[i], in.Keys(b)[i]) != 0) return false;
  }
  return true;
}

class PartitionWalker {
 public:
  PartitionWalker(const BoundExpr& expr, const WindowInput& in, ExecContext& context, std::vector<Value>& out)
      : expr_(expr), w_(*expr.As<bound::Window>()), in_(in), context_(context), out_(out) {}

  // `rows`: the partition's rows in window order.
  void Run(const size_t* rows, size_t n) {
    rows_ = rows;
    n_ = n;
    switch (w_.kind) {
      case WindowKind::RowNumber:
        for (size_t i = 0; i < n; ++i) Set(i, Value::Integer(TypeId::BigInt, static_cast<int64_t>(i + 1)));
        return;
      case WindowKind::Rank:
      case WindowKind::DenseRank:
        return Ranks();
      case WindowKind::Ntile:
        return Tiles();
      case WindowKind::Lag:
      case WindowKind::Lead:
        return Offsets();
      case WindowKind::FirstValue:
      case WindowKind::LastValue:
      case WindowKind::Aggregate:
        return Frames();
    }
  }

 private:
  void Set(size_t i, const Value& v) { out_[rows_[i]] = v; }
  bool Peers(size_t i, size_t j) const { return CompareOrder(w_, in_, rows_[i], rows_[j]) == 0; }

  void Ranks() {
    int64_t rank = 0;
    for (size_t i = 0; i < n_; ++i) {
      if (i == 0 || !Peers(i - 1, i)) rank = w_.kind == WindowKind::Rank ? static_cast<int64_t>(i + 1) : rank + 1;
      Set(i, Value::Integer(TypeId::BigInt, rank));
    }
  }

  // NTILE(k): k groups, the first n % k of them one row larger.
  void Tiles() {
    const Value& count = in_.Argument(rows_[0], 0);
    if (count.is_null || count.i <= 0) {
      Throw(ErrorCode::kNotSupported, {"NTILE with a group count that is not a positive number"}, expr_.line);
    }
    const auto k = static_cast<size_t>(count.i);
    const size_t small = n_ / k;
    const size_t larger = n_ % k;
    size_t i = 0;
    for (size_t tile = 1; i < n_; ++tile) {
      const size_t size = small + (tile <= larger ? 1 : 0);
      for (size_t j = 0; j < size && i < n_; ++j, ++i) Set(i, Value::Integer(TypeId::BigInt, static_cast<int64_t>(tile)));
    }
  }

  // LAG/LEAD(value, offset, default).
  void Offsets() {
    for (size_t i = 0; i < n_; ++i) {
      const Value& offset = in_.Argument(rows_[i], 1);
      if (offset.is_null || offset.i < 0) {
        Throw(ErrorCode::kNotSupported, {"A negative or NULL offset of LAG or LEAD"}, expr_.line);
      }
      const auto step = static_cast<size_t>(offset.i);
      const bool back = w_.kind == WindowKind::Lag;
      const bool inside = back ? step <= i : step < n_ - i;
      if (inside) {
        Set(i, in_.Argument(rows_[back ? i - step : i + step], 0));
      } else if (in_.argument_width > 2) {
        Set(i, in_.Argument(rows_[i], 2));
      } else {
        Set(i, Value::Null(expr_.type.id));
      }
    }
  }

  // The frame of row i: [first, last] in partition positions (empty when first > last).
  void FrameOf(size_t i, const std::vector<size_t>& peer_first, const std::vector<size_t>& peer_last, long long& first,
               long long& last) const {
    const auto at = static_cast<long long>(i);
    const auto end = static_cast<long long>(n_) - 1;
    if (w_.start_unbounded) {
      first = 0;
    } else if (w_.rows_frame) {
      first = std::max(0LL, at + w_.start_offset);
    } else {
      first = static_cast<long long>(peer_first[i]);
    }
    if (w_.end_unbounded) {
      last = end;
    } else if (w_.rows_frame) {
      last = std::min(end, at + w_.end_offset);
    } else {
      last = static_cast<long long>(peer_last[i]);
    }
  }

  void Frames() {
    // Peer groups, for RANGE frames.
    std::vector<size_t> peer_first(n_);
    std::vector<size_t> peer_last(n_);
    for (size_t i = 0; i < n_; ++i) peer_first[i] = i > 0 && Peers(i - 1, i) ? peer_first[i - 1] : i;
    for (size_t i = n_; i-- > 0;) peer_last[i] = i + 1 < n_ && Peers(i, i + 1) ? peer_last[i + 1] : i;
    const bool is_count_star = w_.kind == WindowKind::Aggregate && w_.aggregate == AggregateKind::CountStar;
    const Value one = Value::Integer(TypeId::Int, 1);
    auto argument = [&](long long p) -> const Value& {
      return is_count_star ? one : in_.Argument(rows_[static_cast<size_t>(p)], 0);
    };
    // With the frame's start fixed at the partition's start, the state only grows.
    AggregateState running;
    long long added = -1;
    for (size_t i = 0; i < n_; ++i) {
      long long first = 0;
      long long last = 0;
      FrameOf(i, peer_first, peer_last, first, last);
      if (w_.kind == WindowKind::FirstValue || w_.kind == WindowKind::LastValue) {
        Set(i, first > last ? Value::Null(expr_.type.id) : argument(w_.kind == WindowKind::FirstValue ? first : last));
        continue;
      }
      AggregateState fresh;
      AggregateState* state = &fresh;
      if (w_.start_unbounded) {
        for (; added < last; ++added) Accumulate(w_.aggregate, running, argument(added + 1), w_.argument_type, context_.arena);
        state = &running;
      } else {
        for (long long p = first; p <= last; ++p) Accumulate(w_.aggregate, fresh, argument(p), w_.argument_type, context_.arena);
      }
      Value result;
      FinishAggregate(w_.aggregate, *state, w_.argument_type, expr_.type, result);
      Set(i, result);
    }
  }

  const BoundExpr& expr_;
  const bound::Window& w_;
  const WindowInput& in_;
  ExecContext& context_;
  std::vector<Value>& out_;
  const size_t* rows_ = nullptr;
  size_t n_ = 0;
};

}  // namespace

Relation ExecuteWindow(const WindowPlan& plan, ExecContext& context, const EvalRow* outer) {
  Relation input = ExecutePlan(*plan.input, context, outer);
  const size_t n = input.rows;
  const size_t in_width = plan.input->width;
  std::vector<std::vector<Value>> values(plan.windows.size(), std::vector<Value>(n));
  std::vector<size_t> order(n);
  for (size_t k = 0; k < plan.windows.size(); ++k) {
    const BoundExpr& expr = *plan.windows[k];
    const auto& w = *expr.As<bound::Window>();
    const WindowInput in = EvaluateInputs(w, input, outer, context);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      for (size_t i = 0; i < in.partition_width; ++i) {
        const int c = CompareSortValues(in.Keys(a)[i], in.Keys(b)[i]);
        if (c != 0) return c < 0;
      }
      return CompareOrder(w, in, a, b) < 0;
    });
    PartitionWalker walker(expr, in, context, values[k]);
    for (size_t start = 0; start < n;) {
      size_t end = start + 1;
      while (end < n && SamePartition(in, order[start], order[end])) ++end;
      walker.Run(order.data() + start, end - start);
      start = end;
    }
  }
  Relation out(plan.width);
  out.cells.reserve(n * plan.width);
  std::vector<Value> row(plan.width);
  for (size_t r : order) {
    std::copy(input.Row(r), input.Row(r) + in_width, row.begin());
    for (size_t k = 0; k < plan.windows.size(); ++k) row[in_width + k] = values[k][r];
    out.AppendRow(row.data());
  }
  return out;
}

}  // namespace orv::engine
