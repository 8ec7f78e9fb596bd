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
  JoinOutput(const JoinPlan& plan, const Relation& right, ExecContext& context, const EvalRow* outer, RowSink sink);

  // `left_row` with the right rows chained from `first` (JoinBuild::kNone: none).
  void JoinChain(const Value* left_row, const JoinBuild& build, size_t first) {
    StartLeftRow();
    bool matched = false;
    for (size_t r = first; r != JoinBuild::kNone; r = build.Next(r)) matched = TryPair(left_row, r) || matched;
    FinishLeftRow(left_row, matched);
  }
  // `left_row` with every right row: a join without equality keys.
  void JoinEvery(const Value* left_row) {
    StartLeftRow();
    bool matched = false;
    for (size_t r = 0; r < right_.rows; ++r) matched = TryPair(left_row, r) || matched;
    FinishLeftRow(left_row, matched);
  }
  // After the last left row: the right rows nothing matched (RIGHT, FULL).
  void PadUnmatchedRight();

  const RowCopier& copy_left() const { return copy_left_; }

 private:
  void StartLeftRow() { left_copied_ = false; }
  // The left row is copied into the joined row only once it has a
  // candidate: most rows of a selective join never do.
  bool TryPair(const Value* left_row, size_t r) {
    if (!left_copied_) {
      copy_left_(left_row, joined_.data());
      left_copied_ = true;
    }
    copy_right_(right_.Row(r), joined_.data());
    if (residual_ && !IsTrue(Evaluate(*residual_, EvalRow{joined_.data(), outer_}, context_))) return false;
    sink_(joined_.data());
    if (keep_right_) right_matched_[r] = 1;
    return true;
  }
  void FinishLeftRow(const Value* left_row, bool matched) {
    if (!matched && keep_left_) PadLeft(left_row);
  }
  void PadLeft(const Value* left_row);

  const Relation& right_;
  const BoundExpr* residual_;
  ExecContext& context_;
  const EvalRow* outer_;
  RowSink sink_;
  const size_t left_width_;
  const bool keep_left_;
  const bool keep_right_;
  const RowCopier copy_left_;
  const RowCopier copy_right_;
  std::vector<Value> joined_;
  bool left_copied_ = false;
  std::vector<uint8_t> right_matched_;
};

}  // namespace orv::engine
