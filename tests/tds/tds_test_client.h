// A small TDS client written from the protocol's description, for tests that
// tsql and isql cannot drive: RPC requests, attentions, raw and malformed
// packets. It reads replies into plain values (numbers and texts as strings).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orv::tds::testing {

struct ReplyMessage {
  int number = 0;
  int state = 0;
  int severity = 0;
  int line = 0;
  std::string text;
};

struct Reply {
  std::vector<std::vector<std::string>> column_names;     // per result set
  std::vector<std::vector<std::vector<std::string>>> rows;  // per result set, per row, per column
  std::vector<ReplyMessage> errors;
  std::vector<ReplyMessage> infos;
  std::vector<uint8_t> done_tokens;
  std::vector<uint16_t> done_statuses;
  std::vector<uint64_t> done_counts;
  std::vector<int32_t> return_values;
  std::vector<std::string> env_changes;  // "type:new"
  bool login_ack = false;
  bool attention_acknowledged() const;
};

// Builders of client messages (payloads without packet headers).
std::string PreloginPayload(uint8_t encryption);
std::string Login7Payload(std::string_view user, std::string_view password, std::string_view database,
                          uint32_t packet_size = 4096);
std::string SqlBatchPayload(std::string_view sql);
// Packets of `type` around `payload`, `packet_size` bytes each at most.
std::string Packets(uint8_t type, std::string_view payload, size_t packet_size = 4096);
std::string Utf16(std::string_view utf8);

class TestClient {
 public:
  // Connects to 127.0.0.1:port; every later read waits at most `timeout_ms`.
  explicit TestClient(uint16_t port, int timeout_ms = 5000);
  ~TestClient();
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  // PRELOGIN without encryption, then LOGIN7; the login's reply.
  Reply Login(std::string_view user, std::string_view password, std::string_view database = "");
  Reply Batch(std::string_view sql);
  // An RPC message from the payload after ALL_HEADERS (which this adds).
  Reply Rpc(std::string_view calls);

  void Send(std::string_view bytes);
  // Reads one whole server message and decodes its tokens.
  Reply ReadReply();
  // One whole server message as it came (a PRELOGIN reply holds no tokens).
  std::string ReadMessage();
  // True when the server closed the connection (or reset it) within the timeout.
  bool WaitClosed();
  // Reads whatever bytes arrive before the timeout or the close.
  std::string ReadSome();

 private:
  int socket_ = -1;
};

}  // namespace orv::tds::testing
