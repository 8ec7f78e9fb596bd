// Batched probing of a join's build side; see join_probe.h.
#include "engine/execution/join_probe.h"

namespace orv::engine {

JoinProbe::JoinProbe(const JoinPlan& plan, const JoinBuild& build, JoinOutput& output, ExecContext& context,
                     const EvalRow* outer)
    : left_keys_(plan.left_keys),
      build_(build),
      output_(output),
      context_(context),
      outer_(outer),
      left_width_(plan.left->width),
      key_count_(plan.left_keys.size()),
      pending_(kBatch * left_width_),
      keys_(kBatch * key_count_),
      hashes_(kBatch),
      first_(kBatch) {}

void JoinProbe::Flush() {
  constexpr size_t kNoKey = JoinBuild::kNone;
  constexpr size_t kHasKey = 0;
  for (size_t i = 0; i < pending_rows_; ++i) {
    Value* key = keys_.data() + i * key_count_;
    first_[i] = kNoKey;
    if (!EvaluateJoinKeys(left_keys_, pending_.data() + i * left_width_, outer_, context_, key)) continue;
    first_[i] = kHasKey;
    hashes_[i] = build_.Prefetch(key);
  }
  for (size_t i = 0; i < pending_rows_; ++i) {
    if (first_[i] == kNoKey) continue;
    first_[i] = build_.First(keys_.data() + i * key_count_, hashes_[i]);
    if (first_[i] != JoinBuild::kNone) __builtin_prefetch(build_.rows().Row(first_[i]));
  }
  for (size_t i = 0; i < pending_rows_; ++i) output_.JoinChain(pending_.data() + i * left_width_, build_, first_[i]);
  pending_rows_ = 0;
}

}  // namespace orv::engine
