// Joins of every kind: the right side is stored (join_build), with equality
// keys hashed on them; each left row, as it streams in, is joined with the
// right rows its key finds (join_probe) or, without keys, with every right
// row; join_output pairs the rows, checks the residual condition and pads
// the unmatched rows of outer joins with NULLs.
#include "engine/execution/join_build.h"
#include "engine/execution/join_chain.h"
#include "engine/execution/join_output.h"
#include "engine/execution/join_probe.h"

namespace orv::engine {

void StreamJoin(const JoinPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  if (IsJoinChain(plan)) return StreamJoinChain(plan, context, outer, sink);
  const JoinBuild build(plan, context, outer);
  JoinOutput output(plan, build.rows(), context, outer, sink);
  if (plan.left_keys.empty()) {
    auto join_every = [&](const Value* left_row) { output.JoinEvery(left_row); };
    StreamPlan(*plan.left, context, outer, join_every);
  } else {
    JoinProbe probe(plan, build, output, context, outer);
    auto add = [&](const Value* left_row) { probe.Add(left_row); };
    StreamPlan(*plan.left, context, outer, add);
    probe.Flush();
  }
  output.PadUnmatchedRight();
}

}  // namespace orv::engine
