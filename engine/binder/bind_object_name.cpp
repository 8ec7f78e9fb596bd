// OBJECT_NAME's binding: both arguments are ids (int) and the result a
// nullable sysname.
#include "engine/binder/bind_object_name.h"

#include "engine/common/errors.h"

namespace orv::engine {

BoundExprPtr BindObjectName(std::vector<BoundExprPtr> args, int line) {
  if (args.empty() || args.size() > 2) Throw(ErrorCode::kFunctionArgumentRange, {"object_name", "1", "2"}, line);
  const DataType id{TypeId::Int};
  BoundExprPtr database = args.size() == 2 ? Convert(std::move(args[1]), id) : nullptr;
  return MakeExpr<bound::ObjectName>(DataType{TypeId::NVarChar, 0, 0, 128}, true, line,
                                     Convert(std::move(args[0]), id), std::move(database));
}

}  // namespace orv::engine
