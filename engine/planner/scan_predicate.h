// WHERE comparisons a table scan tests itself, a block of rows at a time.
#pragma once

#include "engine/planner/plan.h"

namespace orv::engine {

// Moves `conjunct` into `scan` when it compares a numeric or date column of
// the scan with a value fixed for the scan; false (and `conjunct` untouched)
// otherwise.
bool PushIntoScan(ScanPlan& scan, BoundExprPtr& conjunct);

}  // namespace orv::engine
