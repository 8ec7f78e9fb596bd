// One server message on its way out: tokens are appended to a buffer that is
// cut into packets of the negotiated size and sent as it fills, so a large
// result never waits whole in memory twice. Between packets it asks the
// connection whether the client sent an attention; once it has, nothing more
// is written and the message ends with the DONE that acknowledges it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tds/tokens.h"

namespace orv::tds {

class PacketSink {
 public:
  virtual ~PacketSink() = default;
  virtual void SendBytes(std::string_view bytes) = 0;
  // Whether an attention arrived; reads what is already there, never waits.
  virtual bool AttentionArrived() = 0;
};

class ResponseStream {
 public:
  ResponseStream(PacketSink& sink, size_t packet_size, uint16_t spid, const TokenFormat& format);

  std::string& out() { return buffer_; }
  const TokenFormat& format() const { return format_; }
  // Sends the full packets buffered once enough has gathered. False once the
  // client has asked to cancel: the caller stops writing.
  bool Flush();
  // A DONE (or DONEPROC, DONEINPROC) token; the stream remembers the last one.
  void PutDoneToken(uint8_t token, uint16_t status, uint16_t cur_cmd, uint64_t rows);
  // Ends a SQL batch's tokens: the last DONE loses its "more" bit, or a final
  // DONE is added when the batch wrote none.
  void EndBatch();
  // Sends the rest with end-of-message; after a cancel, the acknowledgement.
  void Finish();
  bool cancelled() const { return cancelled_; }
  // Checks for an attention before anything is written (a long statement may have just ended).
  bool CheckAttention();

 private:
  void SendPackets(size_t payload_bytes, bool last);

  PacketSink& sink_;
  size_t room_;  // payload bytes per packet
  uint16_t spid_;
  TokenFormat format_;
  uint8_t packet_id_ = 1;
  bool cancelled_ = false;
  size_t last_done_at_ = SIZE_MAX;  // offset in buffer_, SIZE_MAX when sent or none
  std::string buffer_;
  std::string wire_;
};

}  // namespace orv::tds
