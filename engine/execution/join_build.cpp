// Storing and chaining the right rows of a join; see join_build.h.
#include "engine/execution/join_build.h"

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
  for (size_t r = rows_.size(); r-- > 0;) {
    if (!EvaluateJoinKeys(plan.right_keys, rows_.KeyRow(r, scratch.data()), outer, context, key.data())) continue;
    size_t* first = nullptr;
    if (int_key_) {
      first = &ints_.Entry(key[0].i);
    } else {
      bool inserted = false;
      size_t number = index_.FindOrInsert(key.data(), inserted);
      if (inserted) first_row_.push_back(kNone);
      first = &first_row_[number];
    }
    next_row_[r] = *first == IntKeyIndex::kNew ? kNone : *first;
    *first = r;
  }
  if (int_key_) ints_.Settle();
}

}  // namespace orv::engine
