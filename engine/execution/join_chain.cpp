// The fused join chain; see join_chain.h.
#include "engine/execution/join_chain.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/execution/evaluate.h"
#include "engine/execution/join_build.h"
#include "engine/execution/row_copier.h"

namespace orv::engine {
namespace {

// A join that passes each left row on with its matches (or, LEFT, padded),
// keeping nothing for after the last left row.
bool Chains(const PlanNode& plan) {
  if (plan.kind != PlanKind::Join) return false;
  const ast::JoinType type = static_cast<const JoinPlan&>(plan).type;
  return type == ast::JoinType::Inner || type == ast::JoinType::Cross || type == ast::JoinType::Left;
}

// The chained joins, top first: each one's left input is the next one. The
// lowest join of the chain, over a non-join input, stays an ordinary join:
// it is where probes meet large build sides, which it batches.
std::vector<const JoinPlan*> ChainOf(const JoinPlan& top) {
  std::vector<const JoinPlan*> chain;
  for (const PlanNode* node = &top; Chains(*node);) {
    const auto& join = static_cast<const JoinPlan&>(*node);
    if (join.left->kind != PlanKind::Join) break;
    chain.push_back(&join);
    node = join.left.get();
  }
  return chain;
}

class JoinChain {
 public:
  JoinChain(const std::vector<const JoinPlan*>& top_first, ExecContext& context, const EvalRow* outer, RowSink sink)
      : context_(context),
        outer_(outer),
        sink_(sink),
        wide_(top_first.front()->width),
        copy_input_(*top_first.back()->left, 0) {
    // Build sides are read top first, as the joins one inside another would.
    for (const JoinPlan* join : top_first) {
      levels_.insert(levels_.begin(), Level{join, std::make_unique<JoinBuild>(*join, context, outer),
                                            std::vector<Value>(join->left_keys.size())});
    }
  }

  // One row of the chain's input (the lowest join's left input).
  void Add(const Value* row) {
    copy_input_(row, wide_.data());
    Join(0);
  }

 private:
  struct Level {
    const JoinPlan* plan;
    std::unique_ptr<JoinBuild> build;
    std::vector<Value> key;
  };

  // The row in wide_ up to level `l`'s left width is its left row: pairs it
  // with that join's right rows and hands each pair to the level above.
  void Join(size_t l) {
    if (l == levels_.size()) return sink_(wide_.data());
    Level& level = levels_[l];
    const JoinPlan& plan = *level.plan;
    const BuildRows& right = level.build->rows();
    bool matched = false;
    auto pair = [&](size_t r) {
      right.CopyTo(r, wide_.data());
      if (plan.residual && !IsTrue(Evaluate(*plan.residual, EvalRow{wide_.data(), outer_}, context_))) return;
      matched = true;
      Join(l + 1);
    };
    if (plan.left_keys.empty()) {
      for (size_t r = 0; r < right.size(); ++r) pair(r);
    } else if (EvaluateJoinKeys(plan.left_keys, wide_.data(), outer_, context_, level.key.data())) {
      const JoinBuild& build = *level.build;
      for (size_t r = build.First(level.key.data(), build.Prefetch(level.key.data())); r != JoinBuild::kNone;
           r = build.Next(r)) {
        pair(r);
      }
    }
    if (matched || plan.type != ast::JoinType::Left) return;
    std::fill(wide_.begin() + static_cast<ptrdiff_t>(plan.left->width),
              wide_.begin() + static_cast<ptrdiff_t>(plan.width), Value());
    Join(l + 1);
  }

  ExecContext& context_;
  const EvalRow* outer_;
  RowSink sink_;
  std::vector<Level> levels_;  // lowest first
  std::vector<Value> wide_;
  RowCopier copy_input_;
};

}  // namespace

bool IsJoinChain(const JoinPlan& plan) { return ChainOf(plan).size() >= 2; }

void StreamJoinChain(const JoinPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  const std::vector<const JoinPlan*> chain = ChainOf(plan);
  JoinChain joins(chain, context, outer, sink);
  auto add = [&](const Value* row) { joins.Add(row); };
  StreamPlan(*chain.back()->left, context, outer, add);
}

}  // namespace orv::engine
