// Reading UTF-8 one character at a time without trusting it: a byte that does
// not start a valid sequence is reported on its own, so text of any origin
// (session strings, database values) can be scanned without failing.
#pragma once

#include <unicode/utf8.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orv::frame {

// The code point at `pos`, advancing `pos` past it; for an invalid byte, -1
// minus the byte's value (so -1 .. -256), advancing by one byte.
inline int32_t NextCodePoint(std::string_view text, size_t& pos) {
  // A window of one sequence keeps ICU's 32-bit offsets small for text of any size.
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data()) + pos;
  const auto window = static_cast<int32_t>(std::min<size_t>(text.size() - pos, U8_MAX_LENGTH));
  int32_t length = 0;
  UChar32 c = 0;
  U8_NEXT(bytes, length, window, c);
  if (c < 0) {
    ++pos;
    return -1 - bytes[0];
  }
  pos += static_cast<size_t>(length);
  return c;
}

}  // namespace orv::frame
