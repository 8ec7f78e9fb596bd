// @@TRANCOUNT and XACT_STATE().
#include "engine/binder/session_values.h"

#include "engine/catalog/names.h"
#include "engine/common/errors.h"

namespace orv::engine {

std::optional<Value> SessionVariable(std::string_view name, const SessionState& session) {
  if (NamesEqual(name, "@@TRANCOUNT")) return Value::Integer(TypeId::Int, session.transaction.count);
  return std::nullopt;
}

std::optional<Value> SessionFunction(std::string_view upper_name, size_t arguments, const SessionState& session,
                                     int line) {
  if (upper_name != "XACT_STATE") return std::nullopt;
  if (arguments != 0) Throw(ErrorCode::kWrongArgumentCount, {"xact_state", "0"}, line);
  return Value::Integer(TypeId::SmallInt, XactState(session.transaction));
}

}  // namespace orv::engine
