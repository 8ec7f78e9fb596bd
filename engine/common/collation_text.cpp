// Character-level text functions: LEN and character counts, character to
// byte offsets for SUBSTRING and friends, UPPER/LOWER and the repair of
// invalid UTF-8. An invalid byte sequence counts as one character everywhere,
// the one U+FFFD that Sanitize puts in its place.
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>

#include "engine/common/collation.h"
#include "engine/common/collation_internal.h"

namespace orv::engine::collation {
namespace {

std::string MapCase(std::string_view s, bool upper) {
  if (IsAscii(s)) {
    std::string out(s);
    for (char& c : out) {
      if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
  }
  // One character for one, as SQL Server maps case: simple mappings only, so
  // UPPER('ß') stays 'ß' and no text changes its length (nor any locale's rules).
  std::string out;
  out.reserve(s.size());
  int32_t i = 0;
  const int32_t n = static_cast<int32_t>(s.size());
  while (i < n) {
    UChar32 c;
    U8_NEXT(s.data(), i, n, c);
    c = c < 0 ? 0xFFFD : upper ? u_toupper(c) : u_tolower(c);
    char buffer[U8_MAX_LENGTH];
    int32_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, c);
    out.append(buffer, static_cast<size_t>(length));
  }
  return out;
}

}  // namespace

int64_t CharCount(std::string_view s) {
  if (IsAscii(s)) return static_cast<int64_t>(s.size());
  int64_t count = 0;
  int32_t i = 0, n = static_cast<int32_t>(s.size());
  while (i < n) {
    UChar32 c;
    U8_NEXT(s.data(), i, n, c);
    ++count;
  }
  return count;
}

int64_t Length(std::string_view s) { return CharCount(TrimTrailingBlanks(s)); }

size_t ByteOffset(std::string_view s, int64_t chars) {
  if (chars <= 0) return 0;
  if (IsAscii(s)) return static_cast<size_t>(std::min<int64_t>(chars, static_cast<int64_t>(s.size())));
  int32_t i = 0, n = static_cast<int32_t>(s.size());
  for (int64_t k = 0; k < chars && i < n; ++k) {
    UChar32 c;
    U8_NEXT(s.data(), i, n, c);
  }
  return static_cast<size_t>(i);
}

std::string Upper(std::string_view s) { return MapCase(s, true); }
std::string Lower(std::string_view s) { return MapCase(s, false); }

std::string Sanitize(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  int32_t i = 0, n = static_cast<int32_t>(s.size());
  while (i < n) {
    int32_t start = i;
    UChar32 c;
    U8_NEXT(s.data(), i, n, c);
    if (c < 0) {
      out += "\xEF\xBF\xBD";
    } else {
      out.append(s.data() + start, i - start);
    }
  }
  return out;
}

}  // namespace orv::engine::collation
