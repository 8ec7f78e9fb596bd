// Planning RPC calls. Values are written as literals, never spliced into the
// statement: the statement itself travels as one quoted N'' string.
#include "tds/rpc_sql.h"

#include "tds/request_error.h"
#include "tds/text_codec.h"

namespace orv::tds {
namespace {

// The arguments of an EXEC, and around them the DECLAREs and the closing
// SELECT that output parameters need (OUTPUT takes a variable, not a constant).
struct Arguments {
  std::string declare;
  std::string list;
  std::string select;
};

Arguments BuildArguments(std::span<const RpcParam> params, uint16_t first_ordinal, std::vector<OutputParam>& outputs) {
  Arguments out;
  for (size_t i = 0; i < params.size(); ++i) {
    const RpcParam& param = params[i];
    const auto ordinal = static_cast<uint16_t>(first_ordinal + i);
    std::string argument = param.name.empty() ? std::string() : param.name + " = ";
    if (param.output) {
      const std::string variable = param.name.empty() ? "@__output" + std::to_string(ordinal) : param.name;
      out.declare += "DECLARE " + variable + " " + SqlTypeName(param.type);
      if (!param.use_default) out.declare += " = " + SqlLiteral(param.value);
      out.declare += ";\r\n";
      argument += variable + " OUTPUT";
      out.select += (out.select.empty() ? "\r\nSELECT " : ", ") + variable + " AS [" + variable + "]";
      outputs.push_back(OutputParam{ordinal, param.name, variable});
    } else {
      argument += param.use_default ? std::string("DEFAULT") : SqlLiteral(param.value);
    }
    out.list += (out.list.empty() ? "" : ", ") + argument;
  }
  return out;
}

const RpcParam& Required(const RpcCall& call, size_t index, const char* name) {
  if (call.params.size() <= index) {
    throw RequestError(201, "Procedure or function '" + ProcedureName(call) + "' expects parameter '" + name +
                                "', which was not supplied.");
  }
  return call.params[index];
}

// A text parameter: NULL reads as empty, anything but text is error 214.
std::string TextOf(const RpcCall& call, size_t index, const char* name) {
  const RpcParam& param = Required(call, index, name);
  if (param.value.kind == ValueKind::kNull) return "";
  if (param.value.kind != ValueKind::kString) {
    throw RequestError(214, "Procedure expects parameter '" + std::string(name) +
                                "' of type 'ntext/nchar/nvarchar'.");
  }
  return param.value.text;
}

int32_t HandleOf(const RpcCall& call) {
  const RpcParam& param = Required(call, 0, "@handle");
  if (param.value.kind != ValueKind::kInteger) {
    throw RequestError(214, "Procedure expects parameter '@handle' of type 'int'.");
  }
  return static_cast<int32_t>(param.value.integer);
}

std::span<const RpcParam> ValuesFrom(const RpcCall& call, size_t first) {
  return first < call.params.size() ? std::span<const RpcParam>(call.params).subspan(first) : std::span<const RpcParam>();
}

[[noreturn]] void NoHandle(int32_t handle) {
  throw RequestError(kErrNoPreparedStatement, "Could not find prepared statement with handle " + std::to_string(handle) + ".");
}

// The system procedure a call names, by number or by name ("sp_executesql",
// "sys.sp_executesql"), or kNone for any other procedure.
ProcId SystemProcedure(const RpcCall& call) {
  if (call.proc_id != ProcId::kNone) return call.proc_id;
  std::string name = AsciiLower(call.proc_name);
  for (const std::string_view prefix : {"master.sys.", "master..", "sys."}) {
    if (name.starts_with(prefix)) {
      name.erase(0, prefix.size());
      break;
    }
  }
  for (uint16_t id = static_cast<uint16_t>(ProcId::kCursor); id <= static_cast<uint16_t>(ProcId::kUnprepare); ++id) {
    RpcCall numbered;
    numbered.proc_id = static_cast<ProcId>(id);
    if (ProcedureName(numbered) == name) return numbered.proc_id;
  }
  return ProcId::kNone;
}

}  // namespace

void PreparedStatements::Advance() { next_handle_ = next_handle_ == INT32_MAX ? 1 : next_handle_ + 1; }

int32_t PreparedStatements::Add(PreparedStatement statement) {
  if (statements_.size() >= kMaxPrepared) {
    throw RequestError(kErrNoPreparedStatement, "The connection holds too many prepared statements; unprepare some first.");
  }
  while (statements_.count(next_handle_) != 0) Advance();
  const int32_t handle = next_handle_;
  Advance();
  statements_.emplace(handle, std::move(statement));
  return handle;
}

const PreparedStatement* PreparedStatements::Find(int32_t handle) const {
  const auto found = statements_.find(handle);
  return found == statements_.end() ? nullptr : &found->second;
}

bool PreparedStatements::Remove(int32_t handle) { return statements_.erase(handle) != 0; }

std::string ExecuteSqlText(std::string_view statement, std::string_view declarations, std::span<const RpcParam> values,
                           uint16_t first_ordinal, std::vector<OutputParam>& outputs) {
  if (declarations.empty() && values.empty()) return std::string(statement);
  const Arguments arguments = BuildArguments(values, first_ordinal, outputs);
  std::string out = arguments.declare + "EXEC sp_executesql " + QuotedText(statement, true) + ", " + QuotedText(declarations, true);
  if (!arguments.list.empty()) out += ", " + arguments.list;
  return out + arguments.select;
}

RpcPlan PlanRpcCall(const RpcCall& call, PreparedStatements& prepared) {
  RpcPlan plan;
  switch (SystemProcedure(call)) {
    case ProcId::kExecuteSql: {
      const std::string statement = TextOf(call, 0, "@statement");
      const std::string declarations = call.params.size() > 1 ? TextOf(call, 1, "@params") : std::string();
      plan.sql = ExecuteSqlText(statement, declarations, ValuesFrom(call, 2), 2, plan.outputs);
      return plan;
    }
    case ProcId::kPrepExec:
    case ProcId::kPrepare: {
      PreparedStatement statement{TextOf(call, 1, "@params"), TextOf(call, 2, "@stmt")};
      if (call.proc_id == ProcId::kPrepExec) {
        plan.sql = ExecuteSqlText(statement.statement, statement.declarations, ValuesFrom(call, 3), 3, plan.outputs);
      }
      plan.handle = prepared.Add(std::move(statement));
      plan.handle_name = call.params[0].name;
      return plan;
    }
    case ProcId::kExecute: {
      const int32_t handle = HandleOf(call);
      const PreparedStatement* statement = prepared.Find(handle);
      if (statement == nullptr) NoHandle(handle);
      plan.sql = ExecuteSqlText(statement->statement, statement->declarations, ValuesFrom(call, 1), 1, plan.outputs);
      return plan;
    }
    case ProcId::kUnprepare: {
      const int32_t handle = HandleOf(call);
      if (!prepared.Remove(handle)) NoHandle(handle);
      return plan;
    }
    default: {
      const Arguments arguments = BuildArguments(call.params, 0, plan.outputs);
      plan.sql = arguments.declare + "EXEC " + ProcedureName(call) + (arguments.list.empty() ? "" : " " + arguments.list) +
                 arguments.select;
      return plan;
    }
  }
}

}  // namespace orv::tds
