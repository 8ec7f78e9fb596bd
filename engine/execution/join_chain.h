// A left-deep chain of inner and left joins run as one operator: each row
// of the chain's input is placed once in a row as wide as the top join's,
// and every join in turn writes its right values beside the ones below it,
// so no join copies the growing row again. Rows come out in the order the
// joins would hand them on one by one.
#pragma once

#include "engine/execution/executor.h"

namespace orv::engine {

// Whether `plan` heads such a chain of at least two joins.
bool IsJoinChain(const JoinPlan& plan);
void StreamJoinChain(const JoinPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink);

}  // namespace orv::engine
