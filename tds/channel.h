// One client's socket: reading whole packets with deadlines, writing with a
// time limit, and TLS when negotiated (records carried inside PRELOGIN
// packets during the handshake, directly on the socket after it). Owns the
// socket and closes it.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tds/packet.h"
#include "tds/tls.h"

namespace orv::tds {

using Clock = std::chrono::steady_clock;

// The peer went away, stalled past a deadline, or the socket failed: the
// connection ends without a reply.
class ChannelClosed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Packet {
  PacketHeader header;
  std::string payload;
};

class Channel {
 public:
  Channel(int socket, std::chrono::milliseconds write_timeout);
  ~Channel();
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  // The next packet; waits until `deadline`. Throws ChannelClosed at end of
  // stream or past the deadline, ProtocolError for a malformed header or, as
  // soon as the header is in, for a type other than `only_type` (when given).
  Packet ReadPacket(Clock::time_point deadline, std::optional<PacketType> only_type = std::nullopt);
  // Whether a packet has at least begun to arrive (a request is under way).
  bool has_partial_packet() const { return !plain_.empty(); }
  // A packet already readable without waiting, or nothing.
  std::optional<Packet> PollPacket();

  void Send(std::string_view bytes);

  // Runs the TLS handshake inside PRELOGIN packets, waiting until `deadline`.
  void Handshake(std::unique_ptr<TlsSession> tls, Clock::time_point deadline, size_t packet_size);
  // Stops encrypting: after a login-only TLS exchange the session is plain.
  void DropTls() { tls_.reset(); }

  // Wakes a reader blocked on this socket from another thread.
  void Shutdown();

 private:
  std::optional<Packet> TakeBuffered(std::optional<PacketType> only_type = std::nullopt);
  // Reads what arrives before `deadline` into the plaintext buffer; false on timeout.
  bool Fill(Clock::time_point deadline);

  int socket_;
  std::chrono::milliseconds write_timeout_;
  std::unique_ptr<TlsSession> tls_;
  std::string plain_;  // received bytes not yet cut into packets
};

}  // namespace orv::tds
