// OBJECT_NAME(id [, database id]) against the catalog's tables, views and
// procedures. Temporary tables live in tempdb, so this database never names
// them.
#include "engine/execution/object_name.h"

#include "engine/binder/database_ids.h"
#include "engine/execution/evaluate.h"

namespace orv::engine {

Value EvaluateObjectName(const bound::ObjectName& node, const EvalRow& row, ExecContext& context) {
  const Value none = Value::Null(TypeId::NVarChar);
  const Value id = Evaluate(*node.object_id, row, context);
  if (id.is_null) return none;
  if (node.database_id) {
    const Value database = Evaluate(*node.database_id, row, context);
    if (database.is_null || database.i != kOwnDatabaseId) return none;
  }
  for (const CatalogObject& object : context.catalog.Objects()) {
    if (object.object_id == id.i) return Value::String(TypeId::NVarChar, context.arena.Copy(object.name));
  }
  return none;
}

}  // namespace orv::engine
