// Bounded reading and plain writing of the protocol's little- and big-endian
// integers and length-prefixed UTF-16 strings. A reader never reads past its
// span: every overrun throws ProtocolError, which ends the client's connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orv::tds {

// A message that breaks the protocol's framing or layout.
class ProtocolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using Bytes = std::span<const uint8_t>;

inline Bytes AsBytes(std::string_view text) { return {reinterpret_cast<const uint8_t*>(text.data()), text.size()}; }

class WireReader {
 public:
  explicit WireReader(Bytes data) : data_(data) {}

  uint8_t U8();
  uint8_t Peek() const;
  uint16_t U16();
  uint16_t U16BE();
  uint32_t U32();
  uint32_t U32BE();
  uint64_t U64();
  Bytes Take(size_t count);
  void Skip(size_t count) { (void)Take(count); }
  // `chars` UTF-16 code units, returned as UTF-8.
  std::string Utf16(size_t chars);
  // A string with a one-byte (B_VARCHAR) or two-byte (US_VARCHAR) character count.
  std::string BVarChar() { return Utf16(U8()); }
  std::string UsVarChar() { return Utf16(U16()); }

  size_t position() const { return position_; }
  size_t remaining() const { return data_.size() - position_; }
  bool at_end() const { return position_ == data_.size(); }

 private:
  void Need(size_t count) const;
  Bytes data_;
  size_t position_ = 0;
};

// Appends to a byte buffer held in a std::string.
void PutU8(std::string& out, uint8_t value);
void PutU16(std::string& out, uint16_t value);
void PutU16BE(std::string& out, uint16_t value);
void PutU32(std::string& out, uint32_t value);
void PutU32BE(std::string& out, uint32_t value);
void PutU64(std::string& out, uint64_t value);
// UTF-8 text as a B_VARCHAR / US_VARCHAR: the count of UTF-16 units, then the
// units. Text too long for the count is cut at a character boundary.
void PutBVarChar(std::string& out, std::string_view utf8);
void PutUsVarChar(std::string& out, std::string_view utf8);

}  // namespace orv::tds
