// The test client: request builders, a blocking socket with a read time-out,
// and a decoder for the tokens a server sends.
#include "tests/tds/tds_test_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>

#include "engine/engine.h"
#include "tds/text_codec.h"
#include "tds/wire.h"

namespace orv::tds::testing {
namespace {

void Put16(std::string& out, uint16_t v) { out += {static_cast<char>(v), static_cast<char>(v >> 8)}; }
void Put32(std::string& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

std::string DecimalString(unsigned __int128 magnitude, bool negative, int scale) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  } while (magnitude != 0);
  while (static_cast<int>(digits.size()) <= scale) digits.insert(0, "0");
  if (scale > 0) digits.insert(digits.size() - static_cast<size_t>(scale), ".");
  return (negative ? "-" : "") + digits;
}

struct ColumnType {
  uint8_t type = 0;
  uint32_t max_length = 0;
  uint8_t scale = 0;
};

ColumnType ReadColumnType(WireReader& in) {
  ColumnType column;
  column.type = in.U8();
  switch (column.type) {
    case 0x6A: case 0x6C:  // decimal, numeric
      column.max_length = in.U8();
      in.U8();
      column.scale = in.U8();
      break;
    case 0xA7: case 0xAF: case 0xE7: case 0xEF:  // character types with a collation
      column.max_length = in.U16();
      in.Skip(5);
      break;
    default:
      column.max_length = in.U8();
  }
  return column;
}

std::string ReadPlp(WireReader& in, bool& is_null) {
  const uint64_t total = in.U64();
  is_null = total == ~0ull;
  std::string data;
  if (is_null) return data;
  for (uint32_t chunk; (chunk = in.U32()) != 0;) {
    const Bytes bytes = in.Take(chunk);
    data.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  return data;
}

std::string ReadColumnValue(WireReader& in, const ColumnType& column) {
  const bool text = column.type == 0xA7 || column.type == 0xAF || column.type == 0xE7 || column.type == 0xEF;
  if (text) {
    std::string data;
    if (column.max_length == 0xFFFF) {
      bool is_null = false;
      data = ReadPlp(in, is_null);
      if (is_null) return "NULL";
    } else {
      const uint16_t length = in.U16();
      if (length == 0xFFFF) return "NULL";
      const Bytes bytes = in.Take(length);
      data.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    const bool unicode = column.type == 0xE7 || column.type == 0xEF;
    return unicode ? Utf16ToUtf8(AsBytes(data)) : CodePageToUtf8(AsBytes(data), kServerCodePage);
  }
  const uint8_t length = in.U8();
  if (length == 0) return "NULL";
  WireReader value(in.Take(length));
  switch (column.type) {
    case 0x26: case 0x68: {  // int, bit
      uint64_t raw = 0;
      for (uint8_t i = 0; i < length; ++i) raw |= static_cast<uint64_t>(value.U8()) << (8 * i);
      if (length < 8 && length > 1 && (raw >> (8 * length - 1)) != 0) raw |= ~0ull << (8 * length);
      return std::to_string(length == 1 ? static_cast<int64_t>(raw) : static_cast<int64_t>(raw));
    }
    case 0x6D: {  // float
      const uint64_t bits = value.U64();
      double number;
      std::memcpy(&number, &bits, 8);
      char buffer[64];
      return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, number).ptr);
    }
    case 0x6E: {  // money
      const uint64_t high = value.U32();
      const auto units = static_cast<int64_t>(high << 32 | value.U32());
      return DecimalString(units < 0 ? -static_cast<unsigned __int128>(units) : units, units < 0, 4);
    }
    case 0x6A: case 0x6C: {
      const bool positive = value.U8() == 1;
      unsigned __int128 magnitude = 0;
      for (int i = 0; i < length - 1; ++i) magnitude |= static_cast<unsigned __int128>(value.U8()) << (8 * i);
      return DecimalString(magnitude, !positive, column.scale);
    }
    case 0x6F: {  // datetime
      const auto days = static_cast<int32_t>(value.U32());
      const uint32_t ticks = value.U32();
      return engine::FormatValue(engine::Value::DateTime(days * engine::kTicksPerDay + ticks));
    }
    default:
      throw std::runtime_error("the test client cannot read type " + std::to_string(column.type));
  }
}

ReplyMessage ReadMessageToken(WireReader& in) {
  WireReader body(in.Take(in.U16()));
  ReplyMessage message;
  message.number = static_cast<int>(body.U32());
  message.state = body.U8();
  message.severity = body.U8();
  message.text = body.UsVarChar();
  body.BVarChar();
  body.BVarChar();
  message.line = static_cast<int>(body.U32());
  return message;
}

Reply Decode(std::string_view payload) {
  Reply reply;
  WireReader in(AsBytes(payload));
  std::vector<ColumnType> columns;
  while (!in.at_end()) {
    const uint8_t token = in.U8();
    switch (token) {
      case 0x81: {
        const uint16_t count = in.U16();
        columns.clear();
        reply.column_names.emplace_back();
        reply.rows.emplace_back();
        for (uint16_t i = 0; i < count; ++i) {
          in.U32();
          in.U16();
          columns.push_back(ReadColumnType(in));
          reply.column_names.back().push_back(in.BVarChar());
        }
        break;
      }
      case 0xD1:
      case 0xD2: {
        std::vector<bool> nulls(columns.size(), false);
        if (token == 0xD2) {
          const Bytes bitmap = in.Take((columns.size() + 7) / 8);
          for (size_t i = 0; i < columns.size(); ++i) nulls[i] = (bitmap[i / 8] >> (i % 8) & 1) != 0;
        }
        std::vector<std::string> row;
        for (size_t i = 0; i < columns.size(); ++i) row.push_back(nulls[i] ? "NULL" : ReadColumnValue(in, columns[i]));
        reply.rows.back().push_back(std::move(row));
        break;
      }
      case 0xFD: case 0xFE: case 0xFF:
        reply.done_tokens.push_back(token);
        reply.done_statuses.push_back(in.U16());
        in.U16();
        reply.done_counts.push_back(in.U64());
        break;
      case 0xAA:
        reply.errors.push_back(ReadMessageToken(in));
        break;
      case 0xAB:
        reply.infos.push_back(ReadMessageToken(in));
        break;
      case 0xE3: {
        WireReader body(in.Take(in.U16()));
        const uint8_t type = body.U8();
        if (type != 7) reply.env_changes.push_back(std::to_string(type) + ":" + body.BVarChar());
        break;
      }
      case 0xAD:
        reply.login_ack = true;
        in.Skip(in.U16());
        break;
      case 0xAE:
        for (uint8_t feature; (feature = in.U8()) != 0xFF;) in.Skip(in.U32());
        break;
      case 0x79:
        in.U32();
        break;
      case 0xAC: {
        in.U16();
        in.BVarChar();
        in.U8();
        in.U32();
        in.U16();
        const ColumnType type = ReadColumnType(in);
        reply.return_values.push_back(std::stoi(ReadColumnValue(in, type)));
        break;
      }
      default:
        throw std::runtime_error("the test client met token " + std::to_string(token));
    }
  }
  return reply;
}

}  // namespace

bool Reply::attention_acknowledged() const {
  for (const uint16_t status : done_statuses) {
    if (status & 0x20) return true;
  }
  return false;
}

std::string Utf16(std::string_view utf8) {
  std::string out;
  AppendUtf16(out, utf8);
  return out;
}

std::string PreloginPayload(uint8_t encryption) {
  // VERSION (6 bytes) and ENCRYPTION (1 byte), then the terminator.
  std::string out = {0x00, 0x00, 0x0B, 0x00, 0x06, 0x01, 0x00, 0x11, 0x00, 0x01, static_cast<char>(0xFF)};
  out += std::string{0x0B, 0x00, 0x00, 0x00, 0x00, 0x00};
  out.push_back(static_cast<char>(encryption));
  return out;
}

std::string Login7Payload(std::string_view user, std::string_view password, std::string_view database,
                          uint32_t packet_size) {
  const std::vector<std::string> texts = {Utf16("testhost"), Utf16(user), Utf16(password), Utf16("tds-test"),
                                          Utf16("127.0.0.1"), "", Utf16("test-library"), "", Utf16(database)};
  std::string fixed;
  Put32(fixed, 0);  // total length, filled in below
  Put32(fixed, 0x74000004);
  Put32(fixed, packet_size);
  Put32(fixed, 7);
  Put32(fixed, static_cast<uint32_t>(::getpid()));
  Put32(fixed, 0);
  fixed += std::string{static_cast<char>(0xE0), 0x03, 0x00, 0x00};
  Put32(fixed, 0);
  Put32(fixed, 0x0409);
  std::string variable;
  uint16_t offset = 94;
  for (size_t i = 0; i < texts.size(); ++i) {
    std::string text = texts[i];
    if (i == 2) {
      // The password goes with each byte's halves swapped and XOR 0xA5.
      for (char& c : text) {
        const auto byte = static_cast<uint8_t>(c);
        c = static_cast<char>(static_cast<uint8_t>(byte << 4 | byte >> 4) ^ 0xA5);
      }
    }
    Put16(fixed, offset);
    Put16(fixed, static_cast<uint16_t>(text.size() / 2));
    variable += text;
    offset = static_cast<uint16_t>(offset + text.size());
  }
  fixed += std::string(6, '\0');  // client id
  for (int i = 0; i < 4; ++i) Put16(fixed, i % 2 == 0 ? offset : 0);  // SSPI, attach-file
  Put16(fixed, offset);  // change password
  Put16(fixed, 0);
  Put32(fixed, 0);  // long SSPI
  std::string out = fixed + variable;
  const auto total = static_cast<uint32_t>(out.size());
  for (int i = 0; i < 4; ++i) out[static_cast<size_t>(i)] = static_cast<char>(total >> (8 * i));
  return out;
}

std::string SqlBatchPayload(std::string_view sql) {
  std::string out;
  // ALL_HEADERS with one transaction descriptor header.
  Put32(out, 22);
  Put32(out, 18);
  Put16(out, 2);
  out += std::string(8, '\0');
  Put32(out, 1);
  return out + Utf16(sql);
}

std::string Packets(uint8_t type, std::string_view payload, size_t packet_size) {
  std::string out;
  const size_t room = packet_size - 8;
  size_t pos = 0;
  uint8_t id = 1;
  do {
    const size_t chunk = std::min(room, payload.size() - pos);
    const bool last = pos + chunk == payload.size();
    out += {static_cast<char>(type), static_cast<char>(last ? 1 : 0), static_cast<char>((chunk + 8) >> 8),
            static_cast<char>(chunk + 8), 0, 0, static_cast<char>(id++), 0};
    out.append(payload.substr(pos, chunk));
    pos += chunk;
  } while (pos < payload.size());
  return out;
}

TestClient::TestClient(uint16_t port, int timeout_ms) {
  socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
  timeval timeout{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  ::setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  ::setsockopt(socket_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("cannot connect to the test server");
  }
}

TestClient::~TestClient() { ::close(socket_); }

void TestClient::Send(std::string_view bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t wrote = ::send(socket_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (wrote <= 0) throw std::runtime_error("the test client could not send");
    sent += static_cast<size_t>(wrote);
  }
}

std::string TestClient::ReadMessage() {
  std::string payload;
  for (;;) {
    char header[8];
    size_t got = 0;
    while (got < 8) {
      const ssize_t n = ::recv(socket_, header + got, 8 - got, 0);
      if (n <= 0) throw std::runtime_error("the server sent no reply");
      got += static_cast<size_t>(n);
    }
    const size_t length = static_cast<uint8_t>(header[2]) << 8 | static_cast<uint8_t>(header[3]);
    std::string body(length - 8, '\0');
    got = 0;
    while (got < body.size()) {
      const ssize_t n = ::recv(socket_, body.data() + got, body.size() - got, 0);
      if (n <= 0) throw std::runtime_error("the server's reply ended early");
      got += static_cast<size_t>(n);
    }
    payload += body;
    if (header[1] & 1) return payload;
  }
}

Reply TestClient::ReadReply() { return Decode(ReadMessage()); }

Reply TestClient::Login(std::string_view user, std::string_view password, std::string_view database) {
  Send(Packets(0x12, PreloginPayload(2)));
  ReadMessage();
  Send(Packets(0x10, Login7Payload(user, password, database)));
  return ReadReply();
}

Reply TestClient::Batch(std::string_view sql) {
  Send(Packets(0x01, SqlBatchPayload(sql)));
  return ReadReply();
}

Reply TestClient::Rpc(std::string_view calls) {
  std::string payload = SqlBatchPayload("");
  payload += calls;
  Send(Packets(0x03, payload));
  return ReadReply();
}

bool TestClient::WaitClosed() {
  char buffer[4096];
  for (int reads = 0; reads < 10000; ++reads) {
    const ssize_t n = ::recv(socket_, buffer, sizeof buffer, 0);
    if (n == 0) return true;
    if (n < 0) return errno == ECONNRESET;
  }
  return false;
}

std::string TestClient::ReadSome() {
  char buffer[65536];
  const ssize_t n = ::recv(socket_, buffer, sizeof buffer, 0);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace orv::tds::testing
