// The connection's life: login, then one request after another. Framing
// errors and stalls end the connection; a bad request gets an ERROR token and
// the connection goes on.
#include "tds/client_connection.h"

#include <algorithm>
#include <utility>

#include "accounts/user_file.h"
#include "tds/attention_watcher.h"
#include "tds/batch_response.h"
#include "tds/login7.h"
#include "tds/output_values.h"
#include "tds/request_error.h"
#include "tds/text_codec.h"
#include "tds/tls.h"

namespace orv::tds {
namespace {

constexpr size_t kMaxLoginMessageBytes = 64 * 1024;
constexpr size_t kMaxPendingPackets = 64;
constexpr int kLoginFailed = 18456;
constexpr int kUntrustedDomain = 18452;
constexpr int kCannotOpenDatabase = 4060;
constexpr int kInternalError = 50002;  // the engine's number for its own faults

}  // namespace

ClientConnection::ClientConnection(int socket, std::string peer, uint16_t spid, const ServerConfig& config)
    : channel_(socket, config.write_timeout), peer_(std::move(peer)), spid_(spid), config_(config) {}

ClientConnection::~ClientConnection() = default;

void ClientConnection::Log(const std::string& event) const {
  if (config_.log) config_.log(peer_ + ": " + event);
}

void ClientConnection::Run() {
  try {
    if (Login()) Serve();
  } catch (const ChannelClosed& closed) {
    Log(closed.what());
  } catch (const ProtocolError& error) {
    Log(std::string("protocol error: ") + error.what());
  } catch (const std::exception& error) {
    Log(std::string("connection failed: ") + error.what());
  }
  // The client sees the end now; the session and its temporary tables go with
  // it, not later when the thread is reaped.
  channel_.Shutdown();
  session_.reset();
  prepared_.Clear();
}

bool ClientConnection::Login() {
  const Clock::time_point deadline = Clock::now() + config_.login_timeout;
  MessageAssembler assembler(kMaxLoginMessageBytes);
  const auto next_message = [&](PacketType type) {
    for (;;) {
      const Packet packet = channel_.ReadPacket(deadline, type);
      if (assembler.Add(packet.header, AsBytes(packet.payload))) return assembler.TakeMessage();
    }
  };
  const Message prelogin = next_message(PacketType::kPrelogin);
  const PreloginRequest request = ParsePrelogin(AsBytes(prelogin.payload));
  const EncryptionChoice choice = ChooseEncryption(request.encryption, config_.tls_policy());
  std::string reply;
  AppendPackets(reply, PacketType::kTabularResult, BuildPreloginResponse(choice.reply), kDefaultPacketSize, 0);
  channel_.Send(reply);
  if (choice.refuse) {
    Log("refused a client that cannot use TLS");
    return false;
  }
  if (choice.mode != TlsMode::kNone) {
    channel_.Handshake(std::make_unique<TlsSession>(*config_.tls), deadline, kDefaultPacketSize);
  }
  const Message login_message = next_message(PacketType::kLogin7);
  if (choice.mode == TlsMode::kLoginOnly) channel_.DropTls();
  const Login7 login = ParseLogin7(AsBytes(login_message.payload));
  tds_version_ = NegotiateTdsVersion(login.tds_version);
  if (tds_version_ == 0) throw ProtocolError("The client speaks a protocol version older than 7.1.");
  format_.wide_counts = tds_version_ >= kTds72;
  format_.four_byte_user_type = tds_version_ >= kTds72;
  format_.null_bitmap_rows = tds_version_ >= kTds73A;
  ResponseStream stream(*this, kDefaultPacketSize, spid_, format_);
  if (!CheckLogin(login, stream)) {
    stream.PutDoneToken(kTokenDone, kDoneError, kCurCmdNone, 0);
    stream.Finish();
    return false;
  }
  SendLoginAck(login, stream);
  return true;
}

bool ClientConnection::CheckLogin(const Login7& login, ResponseStream& stream) {
  const auto fail = [&](int number, int severity, const std::string& text) {
    PutMessage(stream.out(), format_, ServerMessage{number, 1, severity, text, config_.server_name, "", 1});
  };
  const std::string login_failed = "Login failed for user '" + login.user_name + "'.";
  if (login.integrated_security) {
    fail(kUntrustedDomain, 14, "Login failed. The login is from an untrusted domain and cannot be used with Integrated authentication.");
    return false;
  }
  if (config_.throttle && !config_.throttle->Allowed(peer_)) {
    Log("login of '" + login.user_name + "' refused: too many failed logins");
    fail(kLoginFailed, 14, login_failed);
    return false;
  }
  if (config_.users == nullptr || !config_.users->Verify(login.user_name, login.password)) {
    if (config_.throttle) config_.throttle->RecordFailure(peer_);
    Log("login of '" + login.user_name + "' failed");
    fail(kLoginFailed, 14, login_failed);
    return false;
  }
  if (!login.database.empty() && !EqualsIgnoringAsciiCase(login.database, config_.database_name)) {
    fail(kCannotOpenDatabase, 11, "Cannot open database \"" + login.database + "\" requested by the login. The login failed.");
    fail(kLoginFailed, 14, login_failed);
    return false;
  }
  if (config_.throttle) config_.throttle->RecordSuccess(peer_);
  return true;
}

void ClientConnection::SendLoginAck(const Login7& login, ResponseStream& stream) {
  packet_size_ = login.packet_size == 0 ? kDefaultPacketSize
                                        : std::clamp<size_t>(login.packet_size, kMinPacketSize, kMaxPacketSize);
  session_ = std::make_unique<engine::Session>(config_.database);
  std::string& out = stream.out();
  const auto info = [&](int number, int state, const std::string& text) {
    PutMessage(out, format_, ServerMessage{number, state, 0, text, config_.server_name, "", 0});
  };
  PutEnvChange(out, kEnvDatabase, config_.database_name, "master");
  info(5701, 2, "Changed database context to '" + config_.database_name + "'.");
  PutCollationChange(out, kServerCollation);
  PutEnvChange(out, kEnvLanguage, "us_english", "");
  info(5703, 1, "Changed language setting to us_english.");
  PutLoginAck(out, tds_version_, "Orvalent");
  if (login.has_feature_extension && tds_version_ >= kTds74) PutEmptyFeatureExtAck(out);
  PutEnvChange(out, kEnvPacketSize, std::to_string(packet_size_), std::to_string(kDefaultPacketSize));
  stream.PutDoneToken(kTokenDone, kDoneFinal, kCurCmdNone, 0);
  stream.Finish();
  Log("'" + login.user_name + "' logged in");
}

Message ClientConnection::ReadMessage(Clock::time_point deadline) {
  MessageAssembler assembler(config_.max_message_bytes);
  for (;;) {
    Packet packet;
    if (!pending_.empty()) {
      packet = std::move(pending_.front());
      pending_.pop_front();
    } else {
      packet = channel_.ReadPacket(deadline);
    }
    if (assembler.Add(packet.header, AsBytes(packet.payload))) return assembler.TakeMessage();
    // Once a request has begun, the rest of it must come within the request time-out.
    if (assembler.in_message()) deadline = Clock::now() + config_.request_timeout;
  }
}

bool ClientConnection::AttentionArrived() { return std::exchange(attention_seen_, false) || PollAttention(); }

bool ClientConnection::PollAttention() {
  while (std::optional<Packet> packet = channel_.PollPacket()) {
    if (packet->header.type == static_cast<uint8_t>(PacketType::kAttention)) return true;
    if (pending_.size() >= kMaxPendingPackets) throw ProtocolError("The client sends requests without reading the replies.");
    pending_.push_back(std::move(*packet));
  }
  return false;
}

void ClientConnection::Serve() {
  for (;;) {
    const Message message = ReadMessage(Clock::time_point::max());
    ResponseStream stream(*this, packet_size_, spid_, format_);
    if (message.type == PacketType::kAttention) {
      // Nothing is running: the acknowledgement is all there is to send.
      stream.PutDoneToken(kTokenDone, kDoneAttention, kCurCmdNone, 0);
      stream.Finish();
      continue;
    }
    if (message.first_status & (kStatusResetConnection | kStatusResetConnectionSkipTran)) {
      // A pooled connection handed to a new user: a fresh session, nothing prepared.
      session_ = std::make_unique<engine::Session>(config_.database);
      prepared_.Clear();
    }
    const BatchContext context{config_.server_name, kTokenDone};
    try {
      switch (message.type) {
        case PacketType::kSqlBatch:
          HandleSqlBatch(message, stream);
          break;
        case PacketType::kRpc:
          HandleRpc(message, stream);
          break;
        case PacketType::kPrelogin:
        case PacketType::kLogin7:
        case PacketType::kPreTds7Login:
          throw ProtocolError("A second login on a logged-in connection.");
        default:
          throw RequestError(kErrNotSupported,
                             "The request type " + std::to_string(static_cast<int>(message.type)) +
                                 " is not supported by this server.");
      }
    } catch (const RequestError& error) {
      WriteError(stream, context, error.number(), error.severity(), 1, 0, error.what());
      stream.EndBatch();
    } catch (const ProtocolError& error) {
      WriteError(stream, context, kErrStreamEnded, 16, 1, 0,
                 std::string("The incoming tabular data stream (TDS) protocol stream is incorrect. ") + error.what());
      stream.EndBatch();
    }
    stream.Finish();
  }
}

engine::BatchResult ClientConnection::RunOnEngine(std::string_view sql) {
  // An attention while the batch runs cancels it; the response then carries
  // nothing but the acknowledgement (see AttentionArrived).
  engine::BatchResult result;
  try {
    AttentionWatcher watcher([this] { return PollAttention(); }, *session_);
    result = session_->Execute(sql);
    if (watcher.Stop()) attention_seen_ = true;
  } catch (const engine::SqlError& error) {
    result.AddError(error);
  } catch (const std::exception& error) {
    result.AddError(engine::SqlError(kInternalError, 16, 1, 0, std::string("Internal error in the embedded engine: ") + error.what()));
  }
  return result;
}

void ClientConnection::HandleSqlBatch(const Message& message, ResponseStream& stream) {
  WireReader reader(AsBytes(message.payload));
  if (tds_version_ >= kTds72) SkipAllHeaders(reader);
  if (reader.remaining() % 2 != 0) throw ProtocolError("The SQL text is not whole UTF-16.");
  const std::string sql = Utf16ToUtf8(reader.Take(reader.remaining()));
  const engine::BatchResult result = RunOnEngine(sql);
  if (!stream.CheckAttention()) return;
  WriteBatchResult(stream, BatchContext{config_.server_name, kTokenDone}, result);
  stream.EndBatch();
}

void ClientConnection::HandleRpc(const Message& message, ResponseStream& stream) {
  const std::vector<RpcCall> calls = ParseRpcRequest(AsBytes(message.payload), tds_version_ >= kTds72);
  const BatchContext context{config_.server_name, kTokenDoneInProc};
  for (size_t i = 0; i < calls.size() && !stream.cancelled(); ++i) {
    const uint16_t more = i + 1 < calls.size() ? kDoneMore : 0;
    RpcPlan plan;
    try {
      plan = PlanRpcCall(calls[i], prepared_);
    } catch (const RequestError& error) {
      PutMessage(stream.out(), format_, ServerMessage{error.number(), 1, error.severity(), error.what(), config_.server_name, ProcedureName(calls[i]), 0});
      stream.PutDoneToken(kTokenDoneProc, static_cast<uint16_t>(more | kDoneError), kCurCmdNone, 0);
      continue;
    }
    bool failed = false;
    std::optional<engine::ResultSet> output_row;
    if (!plan.sql.empty()) {
      engine::BatchResult result = RunOnEngine(plan.sql);
      if (!stream.CheckAttention()) return;
      output_row = TakeOutputRow(result, plan.outputs);
      WriteBatchResult(stream, context, result);
      if (stream.cancelled()) return;
      failed = !result.errors.empty();
    }
    if (!failed) PutReturnStatus(stream.out(), 0);
    if (plan.handle) PutReturnHandle(stream.out(), format_, 0, plan.handle_name, *plan.handle);
    if (output_row) PutReturnValues(stream.out(), format_, plan.outputs, *output_row);
    stream.PutDoneToken(kTokenDoneProc, static_cast<uint16_t>(more | (failed ? kDoneError : 0)), kCurCmdNone, 0);
  }
}

}  // namespace orv::tds
