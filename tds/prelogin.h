// The PRELOGIN exchange: the client's options (version, encryption, MARS),
// the server's choice of encryption, and the server's reply.
#pragma once

#include <cstdint>
#include <string>

#include "tds/wire.h"

namespace orv::tds {

enum class Encryption : uint8_t { kOff = 0, kOn = 1, kNotSupported = 2, kRequired = 3 };

struct PreloginRequest {
  uint32_t version = 0;
  uint16_t sub_build = 0;
  Encryption encryption = Encryption::kNotSupported;  // what a client that says nothing gets
  bool mars = false;
};

// Throws ProtocolError for an option that points outside the message or has
// the wrong size.
PreloginRequest ParsePrelogin(Bytes payload);

// What the operator set up: no certificate, a certificate the client may use,
// or a certificate every login must use.
enum class TlsPolicy { kUnavailable, kOffered, kRequired };

// kLoginOnly: the login travels under TLS, the session after it in plain text.
enum class TlsMode { kNone, kLoginOnly, kFull };

struct EncryptionChoice {
  Encryption reply = Encryption::kNotSupported;
  TlsMode mode = TlsMode::kNone;
  bool refuse = false;  // TLS is required and the client cannot do it
};

EncryptionChoice ChooseEncryption(Encryption client, TlsPolicy policy);

// The server's PRELOGIN reply (the payload of a tabular-result message).
std::string BuildPreloginResponse(Encryption reply);

// The server's version as PRELOGIN and LOGINACK give it.
inline constexpr uint8_t kServerMajor = 16;
inline constexpr uint8_t kServerMinor = 0;
inline constexpr uint16_t kServerBuild = 1000;

}  // namespace orv::tds
