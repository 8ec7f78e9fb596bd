// The RPC request: one or more procedure calls, each named or given by the
// number of a system procedure, with typed parameters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tds/type_info.h"
#include "tds/wire.h"

namespace orv::tds {

// System procedures a client may name by number instead of by name.
enum class ProcId : uint16_t {
  kNone = 0,
  kCursor = 1,
  kCursorOpen = 2,
  kCursorPrepare = 3,
  kCursorExecute = 4,
  kCursorPrepExec = 5,
  kCursorUnprepare = 6,
  kCursorFetch = 7,
  kCursorOption = 8,
  kCursorClose = 9,
  kExecuteSql = 10,
  kPrepare = 11,
  kExecute = 12,
  kPrepExec = 13,
  kPrepExecRpc = 14,
  kUnprepare = 15,
};

struct RpcParam {
  std::string name;  // with its "@", or empty for a positional parameter
  bool output = false;
  bool use_default = false;
  TypeInfo type;
  ParamValue value;
};

struct RpcCall {
  ProcId proc_id = ProcId::kNone;
  std::string proc_name;  // as sent; empty when given by number
  uint16_t option_flags = 0;
  std::vector<RpcParam> params;
};

inline constexpr size_t kMaxRpcParameters = 2100;

// Parses the whole message. `all_headers`: the request starts with the
// ALL_HEADERS block (TDS 7.2 and later). Throws ProtocolError for a message
// cut short and RequestError for a bad parameter, naming it.
std::vector<RpcCall> ParseRpcRequest(Bytes payload, bool all_headers);

// Skips the ALL_HEADERS block at the reader's position, checking its lengths.
void SkipAllHeaders(WireReader& reader);

// The procedure's name as T-SQL writes it: the system name for a number.
std::string ProcedureName(const RpcCall& call);

}  // namespace orv::tds
