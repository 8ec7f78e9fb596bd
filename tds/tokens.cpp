// Writing the non-result tokens. Tokens with a length field get it filled in
// after their body is written.
#include "tds/tokens.h"

#include "tds/prelogin.h"
#include "tds/wire.h"

namespace orv::tds {
namespace {

// Reserves a two-byte length after the token byte; Close() fills it.
class LengthPrefixed {
 public:
  LengthPrefixed(std::string& out, uint8_t token) : out_(out) {
    PutU8(out_, token);
    at_ = out_.size();
    PutU16(out_, 0);
  }
  ~LengthPrefixed() {
    const size_t length = out_.size() - at_ - 2;
    out_[at_] = static_cast<char>(length);
    out_[at_ + 1] = static_cast<char>(length >> 8);
  }
  LengthPrefixed(const LengthPrefixed&) = delete;
  LengthPrefixed& operator=(const LengthPrefixed&) = delete;

 private:
  std::string& out_;
  size_t at_;
};

}  // namespace

void PutDone(std::string& out, const TokenFormat& format, uint8_t token, uint16_t status, uint16_t cur_cmd,
             uint64_t rows) {
  PutU8(out, token);
  PutU16(out, status);
  PutU16(out, cur_cmd);
  if (format.wide_counts) {
    PutU64(out, rows);
  } else {
    PutU32(out, static_cast<uint32_t>(rows));
  }
}

void PutMessage(std::string& out, const TokenFormat& format, const ServerMessage& message) {
  LengthPrefixed token(out, message.severity > 10 ? kTokenError : kTokenInfo);
  PutU32(out, static_cast<uint32_t>(message.number));
  PutU8(out, static_cast<uint8_t>(message.state));
  PutU8(out, static_cast<uint8_t>(message.severity));
  PutUsVarChar(out, message.text);
  PutBVarChar(out, message.server_name);
  PutBVarChar(out, message.procedure);
  if (format.wide_counts) {
    PutU32(out, static_cast<uint32_t>(message.line));
  } else {
    PutU16(out, static_cast<uint16_t>(message.line));
  }
}

void PutEnvChange(std::string& out, EnvChangeType type, std::string_view new_value, std::string_view old_value) {
  LengthPrefixed token(out, kTokenEnvChange);
  PutU8(out, type);
  PutBVarChar(out, new_value);
  PutBVarChar(out, old_value);
}

void PutCollationChange(std::string& out, const uint8_t (&collation)[5]) {
  LengthPrefixed token(out, kTokenEnvChange);
  PutU8(out, kEnvCollation);
  PutU8(out, 5);
  out.append(reinterpret_cast<const char*>(collation), 5);
  PutU8(out, 0);
}

void PutLoginAck(std::string& out, uint32_t tds_version, std::string_view program_name) {
  LengthPrefixed token(out, kTokenLoginAck);
  PutU8(out, 1);  // the interface: T-SQL
  PutU32BE(out, tds_version);
  PutBVarChar(out, program_name);
  PutU8(out, kServerMajor);
  PutU8(out, kServerMinor);
  PutU16BE(out, kServerBuild);
}

void PutEmptyFeatureExtAck(std::string& out) {
  PutU8(out, kTokenFeatureExtAck);
  PutU8(out, 0xFF);  // no feature acknowledged
}

void PutReturnStatus(std::string& out, int32_t status) {
  PutU8(out, kTokenReturnStatus);
  PutU32(out, static_cast<uint32_t>(status));
}

}  // namespace orv::tds
