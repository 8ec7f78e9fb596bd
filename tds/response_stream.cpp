// Cutting a response into packets.
#include "tds/response_stream.h"

#include <algorithm>

#include "tds/packet.h"
#include "tds/wire.h"

namespace orv::tds {
namespace {

// Packets are sent in groups of this many, one write each.
constexpr size_t kPacketsPerWrite = 8;

}  // namespace

ResponseStream::ResponseStream(PacketSink& sink, size_t packet_size, uint16_t spid, const TokenFormat& format)
    : sink_(sink),
      room_(std::clamp(packet_size, kMinPacketSize, kMaxPacketSize) - kHeaderSize),
      spid_(spid),
      format_(format) {}

void ResponseStream::SendPackets(size_t payload_bytes, bool last) {
  wire_.clear();
  size_t pos = 0;
  do {
    const size_t chunk = std::min(room_, payload_bytes - pos);
    const bool end = last && pos + chunk == payload_bytes;
    PutU8(wire_, static_cast<uint8_t>(PacketType::kTabularResult));
    PutU8(wire_, end ? kStatusEndOfMessage : 0);
    PutU16BE(wire_, static_cast<uint16_t>(chunk + kHeaderSize));
    PutU16BE(wire_, spid_);
    PutU8(wire_, packet_id_++);
    PutU8(wire_, 0);
    wire_.append(buffer_, pos, chunk);
    pos += chunk;
  } while (pos < payload_bytes);
  buffer_.erase(0, payload_bytes);
  last_done_at_ = last_done_at_ != SIZE_MAX && last_done_at_ >= payload_bytes ? last_done_at_ - payload_bytes : SIZE_MAX;
  sink_.SendBytes(wire_);
}

bool ResponseStream::CheckAttention() {
  if (!cancelled_ && sink_.AttentionArrived()) cancelled_ = true;
  return !cancelled_;
}

bool ResponseStream::Flush() {
  if (cancelled_) return false;
  if (buffer_.size() < room_ * kPacketsPerWrite) return true;
  // Whole packets only: the last one must carry end-of-message.
  SendPackets(buffer_.size() / room_ * room_, false);
  return CheckAttention();
}

void ResponseStream::PutDoneToken(uint8_t token, uint16_t status, uint16_t cur_cmd, uint64_t rows) {
  last_done_at_ = buffer_.size();
  PutDone(buffer_, format_, token, status, cur_cmd, rows);
}

void ResponseStream::EndBatch() {
  if (cancelled_) return;
  if (last_done_at_ == SIZE_MAX) {
    PutDoneToken(kTokenDone, kDoneFinal, kCurCmdNone, 0);
    return;
  }
  // The status follows the token byte, low byte first.
  buffer_[last_done_at_ + 1] = static_cast<char>(buffer_[last_done_at_ + 1] & ~kDoneMore);
}

void ResponseStream::Finish() {
  // After a cancel the buffer ends where the last whole token ended, so the
  // client can read its way to the acknowledgement.
  if (cancelled_) PutDone(buffer_, format_, kTokenDone, kDoneAttention, kCurCmdNone, 0);
  SendPackets(buffer_.size(), true);
}

}  // namespace orv::tds
