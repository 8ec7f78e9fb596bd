// Reading and writing the protocol's integers and strings.
#include "tds/wire.h"

#include "tds/text_codec.h"

namespace orv::tds {

void WireReader::Need(size_t count) const {
  if (count > remaining()) {
    throw ProtocolError("The message ends " + std::to_string(count - remaining()) + " bytes early at offset " +
                        std::to_string(position_) + ".");
  }
}

uint8_t WireReader::U8() {
  Need(1);
  return data_[position_++];
}

uint8_t WireReader::Peek() const {
  Need(1);
  return data_[position_];
}

uint16_t WireReader::U16() {
  Need(2);
  const uint16_t value = static_cast<uint16_t>(data_[position_] | data_[position_ + 1] << 8);
  position_ += 2;
  return value;
}

uint16_t WireReader::U16BE() {
  Need(2);
  const uint16_t value = static_cast<uint16_t>(data_[position_] << 8 | data_[position_ + 1]);
  position_ += 2;
  return value;
}

uint32_t WireReader::U32() {
  const uint32_t low = U16();
  return low | static_cast<uint32_t>(U16()) << 16;
}

uint32_t WireReader::U32BE() {
  const uint32_t high = U16BE();
  return high << 16 | U16BE();
}

uint64_t WireReader::U64() {
  const uint64_t low = U32();
  return low | static_cast<uint64_t>(U32()) << 32;
}

Bytes WireReader::Take(size_t count) {
  Need(count);
  const Bytes taken = data_.subspan(position_, count);
  position_ += count;
  return taken;
}

std::string WireReader::Utf16(size_t chars) {
  if (chars > SIZE_MAX / 2) throw ProtocolError("A string length is out of range.");
  return Utf16ToUtf8(Take(chars * 2));
}

void PutU8(std::string& out, uint8_t value) { out.push_back(static_cast<char>(value)); }

void PutU16(std::string& out, uint16_t value) {
  const char bytes[2] = {static_cast<char>(value), static_cast<char>(value >> 8)};
  out.append(bytes, 2);
}

void PutU16BE(std::string& out, uint16_t value) {
  const char bytes[2] = {static_cast<char>(value >> 8), static_cast<char>(value)};
  out.append(bytes, 2);
}

void PutU32(std::string& out, uint32_t value) {
  const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                         static_cast<char>(value >> 24)};
  out.append(bytes, 4);
}

void PutU32BE(std::string& out, uint32_t value) {
  PutU16BE(out, static_cast<uint16_t>(value >> 16));
  PutU16BE(out, static_cast<uint16_t>(value));
}

void PutU64(std::string& out, uint64_t value) {
  PutU32(out, static_cast<uint32_t>(value));
  PutU32(out, static_cast<uint32_t>(value >> 32));
}

namespace {

// Writes a placeholder count of `count_bytes`, the text, then the count.
void PutCountedUtf16(std::string& out, std::string_view utf8, size_t count_bytes, size_t max_units) {
  const size_t count_at = out.size();
  out.append(count_bytes, '\0');
  const size_t units = AppendUtf16(out, utf8, max_units);
  out[count_at] = static_cast<char>(units);
  if (count_bytes == 2) out[count_at + 1] = static_cast<char>(units >> 8);
}

}  // namespace

void PutBVarChar(std::string& out, std::string_view utf8) { PutCountedUtf16(out, utf8, 1, 0xFF); }
void PutUsVarChar(std::string& out, std::string_view utf8) { PutCountedUtf16(out, utf8, 2, 0xFFFF); }

}  // namespace orv::tds
