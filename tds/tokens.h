// The server's tokens other than result sets: DONE and its procedure forms,
// INFO and ERROR, ENVCHANGE, LOGINACK, RETURNSTATUS and the empty
// FEATUREEXTACK. Each appends its bytes to a buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tds/type_info.h"

namespace orv::tds {

enum TokenType : uint8_t {
  kTokenColMetadata = 0x81,
  kTokenRow = 0xD1,
  kTokenNbcRow = 0xD2,
  kTokenDone = 0xFD,
  kTokenDoneProc = 0xFE,
  kTokenDoneInProc = 0xFF,
  kTokenError = 0xAA,
  kTokenInfo = 0xAB,
  kTokenLoginAck = 0xAD,
  kTokenFeatureExtAck = 0xAE,
  kTokenEnvChange = 0xE3,
  kTokenReturnStatus = 0x79,
  kTokenReturnValue = 0xAC,
};

inline constexpr uint16_t kDoneFinal = 0x00;
inline constexpr uint16_t kDoneMore = 0x01;
inline constexpr uint16_t kDoneError = 0x02;
inline constexpr uint16_t kDoneCount = 0x10;
inline constexpr uint16_t kDoneAttention = 0x20;

// The statement kinds DONE reports; clients only tell SELECT from the rest.
inline constexpr uint16_t kCurCmdNone = 0x00;
inline constexpr uint16_t kCurCmdSelect = 0xC1;

enum EnvChangeType : uint8_t {
  kEnvDatabase = 1,
  kEnvLanguage = 2,
  kEnvPacketSize = 4,
  kEnvCollation = 7,
};

// `wide_counts`: 7.2 and later carry 8-byte row counts and 4-byte line numbers.
struct TokenFormat {
  bool wide_counts = true;
  bool null_bitmap_rows = true;  // NBCROW, 7.3 and later
  bool four_byte_user_type = true;  // 7.2 and later
};

void PutDone(std::string& out, const TokenFormat& format, uint8_t token, uint16_t status, uint16_t cur_cmd,
             uint64_t rows);

struct ServerMessage {
  int number = 0;
  int state = 1;
  int severity = 0;  // 10 and below: an INFO token; above: ERROR
  std::string text;
  std::string server_name;
  std::string procedure;
  int line = 0;
};
void PutMessage(std::string& out, const TokenFormat& format, const ServerMessage& message);

void PutEnvChange(std::string& out, EnvChangeType type, std::string_view new_value, std::string_view old_value);
void PutCollationChange(std::string& out, const uint8_t (&collation)[5]);
void PutLoginAck(std::string& out, uint32_t tds_version, std::string_view program_name);
void PutEmptyFeatureExtAck(std::string& out);
void PutReturnStatus(std::string& out, int32_t status);

}  // namespace orv::tds
