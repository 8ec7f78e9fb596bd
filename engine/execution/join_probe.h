// The probe side of a keyed join: left rows, as they stream in, wait in
// small batches; each batch computes all its keys and starts all their
// lookups, then fetches all first matches, then joins its rows in order, so
// the memory waits of the lookups overlap instead of adding up.
#pragma once

#include <vector>

#include "engine/execution/join_build.h"
#include "engine/execution/join_output.h"

namespace orv::engine {

class JoinProbe {
 public:
  JoinProbe(const JoinPlan& plan, const JoinBuild& build, JoinOutput& output, ExecContext& context,
            const EvalRow* outer);

  void Add(const Value* left_row) {
    output_.copy_left()(left_row, pending_.data() + pending_rows_ * left_width_);
    if (++pending_rows_ == kBatch) Flush();
  }
  // Joins the rows still waiting; after the last Add.
  void Flush();

 private:
  static constexpr size_t kBatch = 32;

  const std::vector<BoundExprPtr>& left_keys_;
  const JoinBuild& build_;
  JoinOutput& output_;
  ExecContext& context_;
  const EvalRow* outer_;
  const size_t left_width_;
  const size_t key_count_;
  std::vector<Value> pending_;  // kBatch left rows
  std::vector<Value> keys_;     // their keys
  std::vector<uint64_t> hashes_;
  std::vector<size_t> first_;  // their first matches
  size_t pending_rows_ = 0;
};

}  // namespace orv::engine
