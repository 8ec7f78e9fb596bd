// Socket reads and writes with poll() deadlines.
#include "tds/channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orv::tds {
namespace {

int MillisecondsUntil(Clock::time_point deadline) {
  if (deadline == Clock::time_point::max()) return -1;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1 << 30));
}

}  // namespace

Channel::Channel(int socket, std::chrono::milliseconds write_timeout)
    : socket_(socket), write_timeout_(write_timeout) {}

Channel::~Channel() { ::close(socket_); }

void Channel::Shutdown() { ::shutdown(socket_, SHUT_RDWR); }

std::optional<Packet> Channel::TakeBuffered(std::optional<PacketType> only_type) {
  if (plain_.size() < kHeaderSize) return std::nullopt;
  const PacketHeader header = ParsePacketHeader(AsBytes(plain_).first(kHeaderSize));
  if (only_type && header.type != static_cast<uint8_t>(*only_type)) {
    throw ProtocolError("Expected a packet of type " + std::to_string(static_cast<int>(*only_type)) + ", not " +
                        std::to_string(header.type) + ".");
  }
  if (plain_.size() < header.length) return std::nullopt;
  Packet packet{header, plain_.substr(kHeaderSize, header.length - kHeaderSize)};
  plain_.erase(0, header.length);
  return packet;
}

bool Channel::Fill(Clock::time_point deadline) {
  pollfd descriptor{socket_, POLLIN, 0};
  const int ready = ::poll(&descriptor, 1, MillisecondsUntil(deadline));
  if (ready < 0 && errno != EINTR) throw ChannelClosed(std::string("poll failed: ") + std::strerror(errno));
  if (ready <= 0) return false;
  char buffer[65536];
  const ssize_t got = ::recv(socket_, buffer, sizeof buffer, 0);
  if (got == 0) throw ChannelClosed("The client closed the connection.");
  if (got < 0) {
    if (errno == EINTR || errno == EAGAIN) return true;
    throw ChannelClosed(std::string("recv failed: ") + std::strerror(errno));
  }
  if (!tls_) {
    plain_.append(buffer, static_cast<size_t>(got));
    return true;
  }
  tls_->Feed(Bytes(reinterpret_cast<const uint8_t*>(buffer), static_cast<size_t>(got)));
  if (!tls_->ReadPlain(plain_)) throw ChannelClosed("The client ended the TLS session.");
  return true;
}

Packet Channel::ReadPacket(Clock::time_point deadline, std::optional<PacketType> only_type) {
  for (;;) {
    if (std::optional<Packet> packet = TakeBuffered(only_type)) return std::move(*packet);
    if (!Fill(deadline)) throw ChannelClosed("The client sent nothing in time.");
  }
}

std::optional<Packet> Channel::PollPacket() {
  if (std::optional<Packet> packet = TakeBuffered()) return packet;
  if (!Fill(Clock::now())) return std::nullopt;
  return TakeBuffered();
}

void Channel::Send(std::string_view bytes) {
  std::string encrypted;
  if (tls_) {
    encrypted = tls_->Encrypt(bytes);
    bytes = encrypted;
  }
  const Clock::time_point deadline = Clock::now() + write_timeout_;
  size_t sent = 0;
  while (sent < bytes.size()) {
    pollfd descriptor{socket_, POLLOUT, 0};
    const int ready = ::poll(&descriptor, 1, MillisecondsUntil(deadline));
    if (ready < 0 && errno != EINTR) throw ChannelClosed(std::string("poll failed: ") + std::strerror(errno));
    if (ready == 0) throw ChannelClosed("The client stopped reading.");
    if (ready < 0) continue;
    const ssize_t wrote = ::send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (wrote < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      throw ChannelClosed(std::string("send failed: ") + std::strerror(errno));
    }
    sent += static_cast<size_t>(wrote);
  }
}

void Channel::Handshake(std::unique_ptr<TlsSession> tls, Clock::time_point deadline, size_t packet_size) {
  // The handshake's packets arrive and leave in plain framing.
  while (!tls->handshake_done()) {
    const Packet packet = ReadPacket(deadline, PacketType::kPrelogin);
    const std::string reply = tls->Handshake(AsBytes(packet.payload));
    if (!reply.empty()) {
      std::string wire;
      AppendPackets(wire, PacketType::kPrelogin, reply, packet_size, 0);
      Send(wire);
    }
  }
  // Whatever followed the last handshake packet is already encrypted.
  tls_ = std::move(tls);
  std::string early;
  early.swap(plain_);
  tls_->Feed(AsBytes(early));
  if (!tls_->ReadPlain(plain_)) throw ChannelClosed("The client ended the TLS session.");
}

}  // namespace orv::tds
