// The LOGIN7 record: the fixed part with the client's version, packet size
// and flags, then offset/length pairs into the variable part, where the
// names and the (obfuscated) password sit as UTF-16.
#pragma once

#include <cstdint>
#include <string>

#include "tds/wire.h"

namespace orv::tds {

// Versions as LOGIN7 carries them (little-endian on the wire).
inline constexpr uint32_t kTds71 = 0x71000001;
inline constexpr uint32_t kTds72 = 0x72090002;
inline constexpr uint32_t kTds73A = 0x730A0003;
inline constexpr uint32_t kTds73B = 0x730B0003;
inline constexpr uint32_t kTds74 = 0x74000004;

struct Login7 {
  uint32_t tds_version = 0;
  uint32_t packet_size = 0;  // 0: the server's default
  uint32_t client_pid = 0;
  uint8_t option_flags1 = 0;
  uint8_t option_flags2 = 0;
  uint8_t type_flags = 0;
  uint8_t option_flags3 = 0;
  uint32_t client_lcid = 0;
  std::string host_name;
  std::string user_name;
  std::string password;
  std::string app_name;
  std::string server_name;
  std::string library_name;
  std::string language;
  std::string database;
  bool integrated_security = false;  // a Windows login, which this server does not take
  bool has_feature_extension = false;
};

// Names and the password longer than this are refused, as the server's own limit.
inline constexpr size_t kMaxLoginNameChars = 128;

// Throws ProtocolError for a record whose lengths or offsets do not fit the
// message, or a name above kMaxLoginNameChars.
Login7 ParseLogin7(Bytes payload);

// The version the server answers with: the client's own when it is one of
// 7.1 to 7.4, else 7.4 for a newer one. 0 for an older client.
uint32_t NegotiateTdsVersion(uint32_t client_version);

}  // namespace orv::tds
