// Packet headers and message reassembly.
#include "tds/packet.h"

#include <algorithm>

namespace orv::tds {

PacketHeader ParsePacketHeader(Bytes header) {
  WireReader reader(header);
  PacketHeader parsed;
  parsed.type = reader.U8();
  parsed.status = reader.U8();
  parsed.length = reader.U16BE();
  parsed.spid = reader.U16BE();
  parsed.packet_id = reader.U8();
  parsed.window = reader.U8();
  if (parsed.length < kHeaderSize || parsed.length > kMaxPacketSize) {
    throw ProtocolError("A packet declares " + std::to_string(parsed.length) + " bytes, outside " +
                        std::to_string(kHeaderSize) + " to " + std::to_string(kMaxPacketSize) + ".");
  }
  return parsed;
}

bool MessageAssembler::Add(const PacketHeader& header, Bytes payload) {
  const auto type = static_cast<PacketType>(header.type);
  if (type == PacketType::kAttention) {
    // An attention stands alone; whatever was being gathered is abandoned with it.
    in_message_ = false;
    current_ = Message();
    ready_ = Message{type, header.status, {}};
    return true;
  }
  if (!in_message_) {
    current_ = Message{type, header.status, {}};
    in_message_ = true;
  } else if (type != current_.type) {
    throw ProtocolError("A packet of type " + std::to_string(header.type) + " arrived inside a message of type " +
                        std::to_string(static_cast<int>(current_.type)) + ".");
  }
  if (payload.size() > max_message_bytes_ - std::min(max_message_bytes_, current_.payload.size())) {
    throw ProtocolError("A message exceeds " + std::to_string(max_message_bytes_) + " bytes.");
  }
  current_.payload.append(reinterpret_cast<const char*>(payload.data()), payload.size());
  if ((header.status & kStatusEndOfMessage) == 0) return false;
  in_message_ = false;
  if (header.status & kStatusIgnore) {
    current_ = Message();
    return false;
  }
  ready_ = std::move(current_);
  current_ = Message();
  return true;
}

Message MessageAssembler::TakeMessage() { return std::move(ready_); }

void AppendPackets(std::string& out, PacketType type, std::string_view payload, size_t packet_size, uint16_t spid) {
  const size_t room = std::clamp(packet_size, kMinPacketSize, kMaxPacketSize) - kHeaderSize;
  uint8_t packet_id = 1;
  size_t pos = 0;
  do {
    const size_t chunk = std::min(room, payload.size() - pos);
    const bool last = pos + chunk == payload.size();
    PutU8(out, static_cast<uint8_t>(type));
    PutU8(out, last ? kStatusEndOfMessage : 0);
    PutU16BE(out, static_cast<uint16_t>(chunk + kHeaderSize));
    PutU16BE(out, spid);
    PutU8(out, packet_id++);
    PutU8(out, 0);
    out.append(payload.substr(pos, chunk));
    pos += chunk;
  } while (pos < payload.size());
}

}  // namespace orv::tds
