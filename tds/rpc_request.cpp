// Reading an RPC request: ALL_HEADERS, then per call the name or number of
// the procedure, its option flags and its parameters, calls separated by a
// batch flag byte.
#include "tds/rpc_request.h"

#include "tds/request_error.h"

namespace orv::tds {
namespace {

constexpr uint16_t kProcIdMarker = 0xFFFF;
constexpr uint8_t kParamByRef = 0x01;
constexpr uint8_t kParamDefault = 0x02;
constexpr uint8_t kParamEncrypted = 0x08;
// Between calls: 0xFF (0x80 before 7.2); 0xFE asks to run no further calls.
constexpr uint8_t kBatchFlag = 0xFF;
constexpr uint8_t kOldBatchFlag = 0x80;
constexpr uint8_t kNoExecFlag = 0xFE;

RpcParam ReadParam(WireReader& reader, size_t ordinal) {
  RpcParam param;
  param.name = reader.BVarChar();
  const uint8_t status = reader.U8();
  if (status & kParamEncrypted) {
    throw RequestError(kErrInvalidValue, "Parameter " + std::to_string(ordinal) + " (\"" + param.name +
                                             "\"): encrypted parameters are not supported.");
  }
  param.output = (status & kParamByRef) != 0;
  param.use_default = (status & kParamDefault) != 0;
  try {
    param.type = ReadTypeInfo(reader);
    param.value = ReadValue(reader, param.type);
  } catch (const RequestError& error) {
    throw RequestError(error.number(),
                       "The incoming tabular data stream (TDS) remote procedure call (RPC) protocol stream is "
                       "incorrect. Parameter " + std::to_string(ordinal) + " (\"" + param.name + "\"): " + error.what());
  }
  return param;
}

}  // namespace

void SkipAllHeaders(WireReader& reader) {
  const uint32_t total = reader.U32();
  if (total < 4) throw ProtocolError("The request's header block is shorter than its own length field.");
  WireReader headers(reader.Take(total - 4));
  while (!headers.at_end()) {
    const uint32_t length = headers.U32();
    if (length < 6) throw ProtocolError("A request header is shorter than its own fields.");
    headers.Skip(length - 4);
  }
}

std::vector<RpcCall> ParseRpcRequest(Bytes payload, bool all_headers) {
  WireReader reader(payload);
  if (all_headers) SkipAllHeaders(reader);
  std::vector<RpcCall> calls;
  size_t total_params = 0;
  while (!reader.at_end()) {
    RpcCall call;
    const uint16_t name_length = reader.U16();
    if (name_length == kProcIdMarker) {
      const uint16_t id = reader.U16();
      if (id < static_cast<uint16_t>(ProcId::kCursor) || id > static_cast<uint16_t>(ProcId::kUnprepare)) {
        throw RequestError(kErrNoSuchProcedure, "Could not find stored procedure number " + std::to_string(id) + ".");
      }
      call.proc_id = static_cast<ProcId>(id);
    } else {
      if (name_length == 0 || name_length > 1046) throw ProtocolError("An RPC procedure name has a bad length.");
      call.proc_name = reader.Utf16(name_length);
    }
    call.option_flags = reader.U16();
    while (!reader.at_end()) {
      const uint8_t next = reader.Peek();
      // A name of 128 characters starts with 0x80, so the old separator only counts before 7.2.
      if (next == kBatchFlag || next == kNoExecFlag || (next == kOldBatchFlag && !all_headers)) {
        reader.Skip(1);
        if (next == kNoExecFlag) {
          calls.push_back(std::move(call));
          return calls;
        }
        break;
      }
      if (++total_params > kMaxRpcParameters) {
        throw RequestError(kErrTooManyParameters,
                           "The incoming request has too many parameters. The server supports a maximum of 2100 "
                           "parameters. Reduce the number of parameters and resend the request.");
      }
      call.params.push_back(ReadParam(reader, call.params.size() + 1));
    }
    calls.push_back(std::move(call));
  }
  if (calls.empty()) throw ProtocolError("An RPC request names no procedure.");
  return calls;
}

std::string ProcedureName(const RpcCall& call) {
  switch (call.proc_id) {
    case ProcId::kNone: return call.proc_name;
    case ProcId::kCursor: return "sp_cursor";
    case ProcId::kCursorOpen: return "sp_cursoropen";
    case ProcId::kCursorPrepare: return "sp_cursorprepare";
    case ProcId::kCursorExecute: return "sp_cursorexecute";
    case ProcId::kCursorPrepExec: return "sp_cursorprepexec";
    case ProcId::kCursorUnprepare: return "sp_cursorunprepare";
    case ProcId::kCursorFetch: return "sp_cursorfetch";
    case ProcId::kCursorOption: return "sp_cursoroption";
    case ProcId::kCursorClose: return "sp_cursorclose";
    case ProcId::kExecuteSql: return "sp_executesql";
    case ProcId::kPrepare: return "sp_prepare";
    case ProcId::kExecute: return "sp_execute";
    case ProcId::kPrepExec: return "sp_prepexec";
    case ProcId::kPrepExecRpc: return "sp_prepexecrpc";
    case ProcId::kUnprepare: return "sp_unprepare";
  }
  return call.proc_name;
}

}  // namespace orv::tds
