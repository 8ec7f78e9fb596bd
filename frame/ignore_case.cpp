// Case-insensitive comparison by Unicode simple case folding (ICU), one code
// point at a time, so that a folded text keeps its character count.
#include "frame/ignore_case.h"

#include <unicode/uchar.h>

#include <vector>

#include "frame/utf8_scan.h"

namespace orv::frame {
namespace {

// A byte that does not start a valid sequence stands for itself, outside the
// code point range so that it never equals a real character.
constexpr int32_t kRawByteBase = 0x110000;

// Reads the unit at `pos` (advancing it): a folded code point or a raw byte.
int32_t NextFolded(std::string_view text, size_t& pos) {
  const int32_t c = NextCodePoint(text, pos);
  return c < 0 ? kRawByteBase + (-1 - c) : u_foldCase(c, U_FOLD_CASE_DEFAULT);
}

}  // namespace

std::string FoldCase(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const int32_t unit = NextFolded(text, pos);
    if (unit >= kRawByteBase) {
      folded.push_back(static_cast<char>(unit - kRawByteBase));
      continue;
    }
    char buffer[U8_MAX_LENGTH];
    int32_t written = 0;
    U8_APPEND_UNSAFE(buffer, written, unit);
    folded.append(buffer, static_cast<size_t>(written));
  }
  return folded;
}

CaseMatch FindIgnoreCase(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return {true, 0, 0};
  std::vector<int32_t> wanted;
  for (size_t pos = 0; pos < needle.size();) wanted.push_back(NextFolded(needle, pos));
  // Knuth-Morris-Pratt keeps the search linear whatever the two texts hold:
  // border[i] is the length of the longest proper border of wanted[0..i].
  std::vector<size_t> border(wanted.size(), 0);
  for (size_t i = 1, length = 0; i < wanted.size(); ++i) {
    while (length > 0 && wanted[i] != wanted[length]) length = border[length - 1];
    if (wanted[i] == wanted[length]) ++length;
    border[i] = length;
  }
  // The byte offsets of the last wanted.size() characters read, in a ring, to
  // tell where a match starts.
  std::vector<size_t> recent(wanted.size());
  size_t matched = 0;
  for (size_t pos = 0, index = 0; pos < haystack.size(); ++index) {
    recent[index % wanted.size()] = pos;
    const int32_t unit = NextFolded(haystack, pos);
    while (matched > 0 && unit != wanted[matched]) matched = border[matched - 1];
    if (unit == wanted[matched]) ++matched;
    if (matched == wanted.size()) {
      const size_t first = recent[(index + 1) % wanted.size()];
      return {true, first, pos - first};
    }
  }
  return {};
}

}  // namespace orv::frame
