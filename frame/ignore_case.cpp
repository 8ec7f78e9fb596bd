// Case-insensitive comparison by Unicode simple case folding (ICU), one code
// point at a time, so that a folded text keeps its character count.
#include "frame/ignore_case.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <functional>
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
  // The haystack as folded units, each with its byte offset (one more at the
  // end); Boyer-Moore keeps the search linear whatever the two texts hold.
  std::vector<int32_t> units;
  std::vector<size_t> offsets;
  for (size_t pos = 0; pos < haystack.size();) {
    offsets.push_back(pos);
    units.push_back(NextFolded(haystack, pos));
  }
  offsets.push_back(haystack.size());
  const auto found =
      std::search(units.begin(), units.end(), std::boyer_moore_searcher(wanted.begin(), wanted.end()));
  if (found == units.end()) return {};
  const auto first = static_cast<size_t>(found - units.begin());
  return {true, offsets[first], offsets[first + wanted.size()] - offsets[first]};
}

}  // namespace orv::frame
