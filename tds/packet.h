// Packets: the eight-byte header, and the reassembly of a client's packets
// into one message with bounds on packet and message size. Also splits an
// outgoing message into packets of the negotiated size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tds/wire.h"

namespace orv::tds {

enum class PacketType : uint8_t {
  kSqlBatch = 1,
  kPreTds7Login = 2,
  kRpc = 3,
  kTabularResult = 4,
  kAttention = 6,
  kBulkLoad = 7,
  kFederatedAuthToken = 8,
  kTransactionManager = 14,
  kLogin7 = 16,
  kSspi = 17,
  kPrelogin = 18,
};

inline constexpr uint8_t kStatusEndOfMessage = 0x01;
inline constexpr uint8_t kStatusIgnore = 0x02;  // the client abandons the message
inline constexpr uint8_t kStatusResetConnection = 0x08;
inline constexpr uint8_t kStatusResetConnectionSkipTran = 0x10;

inline constexpr size_t kHeaderSize = 8;
inline constexpr size_t kMinPacketSize = 512;
inline constexpr size_t kMaxPacketSize = 32767;
inline constexpr size_t kDefaultPacketSize = 4096;

struct PacketHeader {
  uint8_t type = 0;
  uint8_t status = 0;
  uint16_t length = 0;  // header included
  uint16_t spid = 0;
  uint8_t packet_id = 0;
  uint8_t window = 0;
};

// Throws ProtocolError for a length below the header's own or above kMaxPacketSize.
PacketHeader ParsePacketHeader(Bytes header);

struct Message {
  PacketType type = PacketType::kSqlBatch;
  uint8_t first_status = 0;  // the reset flags travel on the first packet
  std::string payload;
};

// Gathers packets into messages. A packet of another type in the middle of a
// message, or a message above `max_message_bytes`, is a ProtocolError; an
// attention packet is a message of its own even in the middle of another.
class MessageAssembler {
 public:
  explicit MessageAssembler(size_t max_message_bytes) : max_message_bytes_(max_message_bytes) {}

  // Adds one packet's header and payload. True when it completed a message,
  // which `TakeMessage` then hands out; an ignored message completes nothing.
  bool Add(const PacketHeader& header, Bytes payload);
  Message TakeMessage();
  bool in_message() const { return in_message_; }
  void set_max_message_bytes(size_t bytes) { max_message_bytes_ = bytes; }

 private:
  size_t max_message_bytes_;
  bool in_message_ = false;
  Message current_;
  Message ready_;
};

// Splits `payload` into packets of at most `packet_size` bytes (header
// included) of type `type`, appended to `out`; the last one carries EOM.
void AppendPackets(std::string& out, PacketType type, std::string_view payload, size_t packet_size, uint16_t spid);

}  // namespace orv::tds
