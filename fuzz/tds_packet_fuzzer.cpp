// libFuzzer entry point over what a TDS client sends: the input is cut into
// packets by their headers, packets are gathered into messages, and each
// message is decoded as its type says (PRELOGIN, LOGIN7, SQL batch, RPC with
// its planning into T-SQL). Only ProtocolError and RequestError may come out;
// a crash, a read past a buffer or a hang is a finding.
#include <cstddef>
#include <cstdint>

#include "tds/login7.h"
#include "tds/packet.h"
#include "tds/prelogin.h"
#include "tds/request_error.h"
#include "tds/rpc_request.h"
#include "tds/rpc_sql.h"
#include "tds/text_codec.h"

namespace {

using namespace orv::tds;

void Decode(const Message& message, PreparedStatements& prepared) {
  const Bytes payload = AsBytes(message.payload);
  try {
    switch (message.type) {
      case PacketType::kPrelogin:
        (void)ParsePrelogin(payload);
        break;
      case PacketType::kLogin7:
        (void)ParseLogin7(payload);
        break;
      case PacketType::kSqlBatch: {
        WireReader reader(payload);
        SkipAllHeaders(reader);
        (void)Utf16ToUtf8(reader.Take(reader.remaining()));
        break;
      }
      case PacketType::kRpc:
        for (const RpcCall& call : ParseRpcRequest(payload, true)) {
          try {
            (void)PlanRpcCall(call, prepared);
          } catch (const RequestError&) {
          }
        }
        break;
      default:
        break;
    }
  } catch (const ProtocolError&) {
  } catch (const RequestError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MessageAssembler assembler(1 << 20);
  PreparedStatements prepared;
  const Bytes input(data, size);
  size_t position = 0;
  try {
    while (size - position >= kHeaderSize) {
      const PacketHeader header = ParsePacketHeader(input.subspan(position, kHeaderSize));
      if (header.length > size - position) break;
      if (assembler.Add(header, input.subspan(position + kHeaderSize, header.length - kHeaderSize))) {
        Decode(assembler.TakeMessage(), prepared);
      }
      position += header.length;
    }
  } catch (const ProtocolError&) {
  }
  return 0;
}
