// Outer-join padding; the pairing itself is inline in join_output.h.
#include "engine/execution/join_output.h"

namespace orv::engine {

JoinOutput::JoinOutput(const JoinPlan& plan, const Relation& right, ExecContext& context, const EvalRow* outer,
                       RowSink sink)
    : right_(right),
      residual_(plan.residual.get()),
      context_(context),
      outer_(outer),
      sink_(sink),
      left_width_(plan.left->width),
      keep_left_(plan.type == ast::JoinType::Left || plan.type == ast::JoinType::Full),
      keep_right_(plan.type == ast::JoinType::Right || plan.type == ast::JoinType::Full),
      copy_left_(*plan.left, 0),
      copy_right_(*plan.right, plan.left->width),
      joined_(plan.width),
      right_matched_(keep_right_ ? right.rows : 0) {}

void JoinOutput::PadLeft(const Value* left_row) {
  if (!left_copied_) copy_left_(left_row, joined_.data());
  std::fill(joined_.begin() + static_cast<ptrdiff_t>(left_width_), joined_.end(), Value());
  sink_(joined_.data());
}

void JoinOutput::PadUnmatchedRight() {
  if (!keep_right_) return;
  std::fill(joined_.begin(), joined_.begin() + static_cast<ptrdiff_t>(left_width_), Value());
  for (size_t r = 0; r < right_.rows; ++r) {
    if (right_matched_[r]) continue;
    copy_right_(right_.Row(r), joined_.data());
    sink_(joined_.data());
  }
}

}  // namespace orv::engine
