// Finding text inside text under the database collation, as CHARINDEX and
// REPLACE do: 'A' matches 'a', positions count characters, not bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv::engine::detail {

bool IsAscii(std::string_view s);

// Number of characters of UTF-8 text (trailing blanks included).
int64_t CountChars(std::string_view s);

// The byte offset of character `index` (0-based), or s.size() past the end.
size_t CharOffset(std::string_view s, int64_t index);

// The byte length of a match of `needle` starting at byte `pos` of `hay`, or
// 0 when the text there does not equal `needle` under the collation.
size_t MatchAt(std::string_view hay, size_t pos, std::string_view needle);

// Finds ASCII text in ASCII text, letter case aside, in time linear in both
// (Knuth-Morris-Pratt over case-folded bytes).
class AsciiFinder {
 public:
  explicit AsciiFinder(std::string_view needle);
  // The byte offset of the first match at or after `from`, or npos.
  size_t Find(std::string_view hay, size_t from) const;

 private:
  std::string needle_;  // folded
  std::vector<size_t> failure_;
};

// 1-based character position of the first match of `needle` in `hay` at or
// after character `start` (values below 1 count as 1); 0 when there is none
// or `needle` is empty.
int64_t FindText(std::string_view hay, std::string_view needle, int64_t start);

}  // namespace orv::engine::detail
