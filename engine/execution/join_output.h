// The rows a join hands on: a left row joined with each right row the
// residual condition accepts, and for outer joins the rows no pair took,
// padded with NULLs on the other side (a left row at once, the right rows
// once every left row has been seen).
#pragma once

#include <vector>

#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"
#include "engine/execution/join_build.h"
#include "engine/execution/row_copier.h"

namespace orv::engine {

class JoinOutput {
 public:
  JoinOutput(const JoinPlan& plan, const BuildRows& right, ExecContext& context, const EvalRow* outer, RowSink sink);

  // The left row in the left positions of `joined` with the right rows
  // chained from `first` (JoinBuild::kNone: none); the right positions of
  // `joined` are overwritten, so a probe need copy a left row only once.
  void JoinChain(Value* joined, const JoinBuild& build, size_t first) {
    bool matched = false;
    for (size_t r = first; r != JoinBuild::kNone;) {
      // A long chain over a large stored table reaches its rows far apart:
      // start loading the next one while this one is paired.
      const size_t next = build.Next(r);
      if (next != JoinBuild::kNone) {
        right_.Prefetch(next);
        build.PrefetchNext(next);
      }
      matched = TryPair(joined, r) || matched;
      r = next;
    }
    FinishLeftRow(joined, matched);
  }
  // `left_row` with every right row: a join without equality keys.
  void JoinEvery(const Value* left_row) {
    copy_left_(left_row, joined_.data());
    bool matched = false;
    for (size_t r = 0; r < right_.size(); ++r) matched = TryPair(joined_.data(), r) || matched;
    FinishLeftRow(joined_.data(), matched);
  }
  // After the last left row: the right rows nothing matched (RIGHT, FULL).
  void PadUnmatchedRight();

  const RowCopier& copy_left() const { return copy_left_; }

 private:
  bool TryPair(Value* joined, size_t r) {
    right_.CopyTo(r, joined);
    if (residual_ && !IsTrue(Evaluate(*residual_, EvalRow{joined, outer_}, context_))) return false;
    sink_(joined);
    if (keep_right_) right_matched_[r] = 1;
    return true;
  }
  void FinishLeftRow(Value* joined, bool matched) {
    if (!matched && keep_left_) PadLeft(joined);
  }
  void PadLeft(Value* joined);

  const BuildRows& right_;
  const BoundExpr* residual_;
  ExecContext& context_;
  const EvalRow* outer_;
  RowSink sink_;
  const size_t left_width_;
  const size_t width_;
  const bool keep_left_;
  const bool keep_right_;
  const RowCopier copy_left_;
  std::vector<Value> joined_;
  std::vector<uint8_t> right_matched_;
};

}  // namespace orv::engine
