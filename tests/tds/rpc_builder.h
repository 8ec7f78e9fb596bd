// Builds RPC calls byte by byte for the tests: a call by procedure number or
// name, and parameters of the common types.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tests/tds/tds_test_client.h"

namespace orv::tds::testing {

inline void Add16(std::string& out, uint16_t v) { out += {static_cast<char>(v), static_cast<char>(v >> 8)}; }
inline void Add32(std::string& out, uint32_t v) {
  Add16(out, static_cast<uint16_t>(v));
  Add16(out, static_cast<uint16_t>(v >> 16));
}
inline void Add64(std::string& out, uint64_t v) {
  Add32(out, static_cast<uint32_t>(v));
  Add32(out, static_cast<uint32_t>(v >> 32));
}

// Chinese_PRC_CI_AS, as the server announces it.
inline const std::string kChineseCollation = {0x04, 0x08, static_cast<char>(0xD0), 0x00, 0x00};

inline std::string CallById(uint16_t id) {
  std::string out;
  Add16(out, 0xFFFF);
  Add16(out, id);
  Add16(out, 0);
  return out;
}

inline std::string CallByName(std::string_view name) {
  std::string out;
  Add16(out, static_cast<uint16_t>(name.size()));
  out += Utf16(name);
  Add16(out, 0);
  return out;
}

// Name and status byte; the type and value follow.
inline std::string ParamHead(std::string_view name, uint8_t status = 0) {
  std::string out(1, static_cast<char>(name.size()));
  out += Utf16(name);
  out.push_back(static_cast<char>(status));
  return out;
}

inline std::string NVarCharParam(std::string_view name, std::string_view text, uint8_t status = 0) {
  std::string out = ParamHead(name, status);
  const std::string units = Utf16(text);
  out.push_back(static_cast<char>(0xE7));
  Add16(out, 8000);
  out += kChineseCollation;
  Add16(out, static_cast<uint16_t>(units.size()));
  return out + units;
}

inline std::string IntParam(std::string_view name, int32_t value, uint8_t status = 0) {
  std::string out = ParamHead(name, status);
  out += {0x26, 0x04, 0x04};
  Add32(out, static_cast<uint32_t>(value));
  return out;
}

inline std::string NullIntParam(std::string_view name, uint8_t status = 0) {
  return ParamHead(name, status) + std::string{0x26, 0x04, 0x00};
}

}  // namespace orv::tds::testing
