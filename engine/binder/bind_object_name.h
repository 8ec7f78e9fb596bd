// OBJECT_NAME(id [, database id]): the name of the object with that id, or
// NULL; its arguments are read when the statement runs, as objects may come
// and go between batches.
#pragma once

#include <vector>

#include "engine/binder/bound_expr.h"

namespace orv::engine {

// `args` are already bound; 189 unless there are one or two.
BoundExprPtr BindObjectName(std::vector<BoundExprPtr> args, int line);

}  // namespace orv::engine
