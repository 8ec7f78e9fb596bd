// One client from connect to disconnect: PRELOGIN and TLS, LOGIN7 with the
// user file and the throttle, then requests (SQL batches, RPC calls,
// attentions) on its own engine session until the client leaves. The session
// and its temporary tables end with the connection.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "engine/engine.h"
#include "tds/channel.h"
#include "tds/response_stream.h"
#include "tds/rpc_sql.h"
#include "tds/server_config.h"

namespace orv::tds {

struct Login7;

class ClientConnection : private PacketSink {
 public:
  ClientConnection(int socket, std::string peer, uint16_t spid, const ServerConfig& config);
  ~ClientConnection() override;

  // Serves the client until it leaves, breaks the protocol or stalls. Never throws.
  void Run();
  // Ends a Run() on another thread: the blocked read returns.
  void Shutdown() { channel_.Shutdown(); }

 private:
  bool Login();
  bool CheckLogin(const Login7& login, ResponseStream& stream);
  void SendLoginAck(const Login7& login, ResponseStream& stream);
  void Serve();
  Message ReadMessage(Clock::time_point deadline);
  void HandleSqlBatch(const Message& message, ResponseStream& stream);
  void HandleRpc(const Message& message, ResponseStream& stream);
  engine::BatchResult RunOnEngine(std::string_view sql);
  void Log(const std::string& event) const;

  void SendBytes(std::string_view bytes) override { channel_.Send(bytes); }
  bool AttentionArrived() override;
  // Reads the packets that have come without waiting; whether one is an attention.
  bool PollAttention();

  Channel channel_;
  std::string peer_;
  uint16_t spid_;
  const ServerConfig& config_;
  uint32_t tds_version_ = 0;
  size_t packet_size_ = kDefaultPacketSize;
  TokenFormat format_;
  std::unique_ptr<engine::Session> session_;
  PreparedStatements prepared_;
  std::deque<Packet> pending_;  // packets that came while a response was being sent
  bool attention_seen_ = false;  // by the watcher of the batch that just ran
};

}  // namespace orv::tds
