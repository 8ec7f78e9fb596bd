// PRELOGIN option tables: each entry is a token, an offset and a length (both
// big-endian) into the same payload, the table ends with 0xFF.
#include "tds/prelogin.h"

#include <vector>

namespace orv::tds {
namespace {

enum PreloginOption : uint8_t {
  kVersion = 0,
  kEncryption = 1,
  kInstance = 2,
  kThreadId = 3,
  kMars = 4,
  kTerminator = 0xFF,
};

constexpr size_t kMaxOptions = 64;

}  // namespace

PreloginRequest ParsePrelogin(Bytes payload) {
  PreloginRequest request;
  WireReader table(payload);
  for (size_t count = 0;; ++count) {
    const uint8_t token = table.U8();
    if (token == kTerminator) break;
    if (count == kMaxOptions) throw ProtocolError("The PRELOGIN option table has no end.");
    const uint16_t offset = table.U16BE();
    const uint16_t length = table.U16BE();
    if (static_cast<size_t>(offset) + length > payload.size()) {
      throw ProtocolError("A PRELOGIN option points outside the message.");
    }
    WireReader value(payload.subspan(offset, length));
    switch (token) {
      case kVersion:
        if (length < 6) throw ProtocolError("The PRELOGIN version option is too short.");
        request.version = value.U32BE();
        request.sub_build = value.U16();
        break;
      case kEncryption: {
        if (length < 1) throw ProtocolError("The PRELOGIN encryption option is empty.");
        const uint8_t encryption = value.U8();
        // Bits above the four values carry the client-certificate flag, which is not used here.
        request.encryption = static_cast<Encryption>(encryption & 0x03);
        break;
      }
      case kMars:
        if (length >= 1) request.mars = value.U8() != 0;
        break;
      default:
        break;  // instance, thread id, trace id, nonce: nothing to act on
    }
  }
  return request;
}

EncryptionChoice ChooseEncryption(Encryption client, TlsPolicy policy) {
  if (policy == TlsPolicy::kUnavailable) {
    // A client that insists on TLS ends the connection itself on this reply.
    return {Encryption::kNotSupported, TlsMode::kNone, false};
  }
  switch (client) {
    case Encryption::kOn:
    case Encryption::kRequired:
      return {Encryption::kOn, TlsMode::kFull, false};
    case Encryption::kOff:
      return policy == TlsPolicy::kRequired ? EncryptionChoice{Encryption::kRequired, TlsMode::kFull, false}
                                            : EncryptionChoice{Encryption::kOff, TlsMode::kLoginOnly, false};
    case Encryption::kNotSupported:
      break;
  }
  return policy == TlsPolicy::kRequired ? EncryptionChoice{Encryption::kRequired, TlsMode::kNone, true}
                                        : EncryptionChoice{Encryption::kNotSupported, TlsMode::kNone, false};
}

std::string BuildPreloginResponse(Encryption reply) {
  struct Option {
    uint8_t token;
    std::string value;
  };
  std::string version;
  PutU8(version, kServerMajor);
  PutU8(version, kServerMinor);
  PutU16BE(version, kServerBuild);
  PutU16(version, 0);
  const std::vector<Option> options = {
      {kVersion, version},
      {kEncryption, std::string(1, static_cast<char>(reply))},
      {kInstance, std::string(1, '\0')},
      {kThreadId, std::string()},
      {kMars, std::string(1, '\0')},
  };
  std::string out;
  size_t offset = options.size() * 5 + 1;
  for (const Option& option : options) {
    PutU8(out, option.token);
    PutU16BE(out, static_cast<uint16_t>(offset));
    PutU16BE(out, static_cast<uint16_t>(option.value.size()));
    offset += option.value.size();
  }
  PutU8(out, kTerminator);
  for (const Option& option : options) out += option.value;
  return out;
}

}  // namespace orv::tds
