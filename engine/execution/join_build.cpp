// Storing and chaining the right rows of a join; see join_build.h.
#include "engine/execution/join_build.h"

#include <algorithm>

#include "engine/execution/evaluate.h"

namespace orv::engine {

bool EvaluateJoinKeys(const std::vector<BoundExprPtr>& keys, const Value* values, const EvalRow* outer,
                      ExecContext& context, Value* out) {
  EvalRow row{values, outer};
  for (size_t k = 0; k < keys.size(); ++k) {
    out[k] = Evaluate(*keys[k], row, context);
    if (out[k].is_null) return false;
  }
  return true;
}

JoinBuild::JoinBuild(const JoinPlan& plan, ExecContext& context, const EvalRow* outer)
    : rows_(*plan.right, plan.left->width, plan.right_keys, context, outer),
      key_count_(plan.right_keys.size()),
      int_key_(key_count_ == 1 && IsInteger(plan.left_keys[0]->type.id) && IsInteger(plan.right_keys[0]->type.id)),
      index_(key_count_) {
  if (key_count_ == 0) return;
  next_row_.assign(rows_.size(), kNone);
  // Rows go in last to first, each put in front of its key's chain.
  std::vector<Value> key(key_count_);
  std::vector<Value> scratch(plan.right->width);
  auto evaluate = [&](size_t r) {
    return EvaluateJoinKeys(plan.right_keys, rows_.KeyRow(r, scratch.data()), outer, context, key.data());
  };
  if (!int_key_) {
    for (size_t r = rows_.size(); r-- > 0;) {
      if (!evaluate(r)) continue;
      bool inserted = false;
      const size_t number = index_.FindOrInsert(key.data(), inserted);
      if (inserted) first_row_.push_back(kNone);
      Chain(r, first_row_[number]);
    }
    return;
  }
  // Every key first, so the index is sized once: an array when they lie close.
  std::vector<int64_t> keys(rows_.size());
  std::vector<uint8_t> known(rows_.size());
  int64_t low = INT64_MAX;
  int64_t high = INT64_MIN;
  size_t count = 0;
  for (size_t r = rows_.size(); r-- > 0;) {
    if (!evaluate(r)) continue;
    known[r] = 1;
    keys[r] = key[0].i;
    low = std::min(low, keys[r]);
    high = std::max(high, keys[r]);
    ++count;
  }
  ints_.Reserve(count, low, high);
  for (size_t r = rows_.size(); r-- > 0;) {
    if (known[r]) Chain(r, ints_.Entry(keys[r]));
  }
}

}  // namespace orv::engine
