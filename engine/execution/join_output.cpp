// Outer-join padding; the pairing itself is inline in join_output.h.
#include "engine/execution/join_output.h"

namespace orv::engine {

JoinOutput::JoinOutput(const JoinPlan& plan, const BuildRows& right, ExecContext& context, const EvalRow* outer,
                       RowSink sink)
    : right_(right),
      residual_(plan.residual.get()),
      context_(context),
      outer_(outer),
      sink_(sink),
      left_width_(plan.left->width),
      width_(plan.width),
      keep_left_(plan.type == ast::JoinType::Left || plan.type == ast::JoinType::Full),
      keep_right_(plan.type == ast::JoinType::Right || plan.type == ast::JoinType::Full),
      copy_left_(*plan.left, 0),
      joined_(plan.width),
      right_matched_(keep_right_ ? right.size() : 0) {}

void JoinOutput::PadLeft(Value* joined) {
  std::fill(joined + left_width_, joined + width_, Value());
  sink_(joined);
}

void JoinOutput::PadUnmatchedRight() {
  if (!keep_right_) return;
  std::fill(joined_.begin(), joined_.begin() + static_cast<ptrdiff_t>(left_width_), Value());
  for (size_t r = 0; r < right_.size(); ++r) {
    if (right_matched_[r]) continue;
    right_.CopyTo(r, joined_.data());
    sink_(joined_.data());
  }
}

}  // namespace orv::engine
