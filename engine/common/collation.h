// String comparison under the database collation Chinese_PRC_CI_AS, the one the
// ERP database uses for every column: case-, width- and kana-insensitive,
// accent-sensitive, trailing blanks ignored, Chinese text in the order SQL
// Server's Chinese_PRC collation gives it (pinyin, after Latin). Backed by ICU;
// safe to call from several threads. Strings are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::engine::collation {

// -1, 0, 1. Equal strings under the collation compare 0 ("abc" = "ABC " ).
int Compare(std::string_view a, std::string_view b);
inline bool Equal(std::string_view a, std::string_view b) { return Compare(a, b) == 0; }

// A hash consistent with Equal: strings that compare equal hash equal.
uint64_t Hash(std::string_view s);

// A binary key whose byte order is the collation order (for sorting and
// hashing many values); equal strings give equal keys.
std::string SortKey(std::string_view s);

// LIKE under the collation: % any run, _ one character, [abc] [a-z] [^a] sets,
// `escape` (or 0 for none) makes the next character literal. Blanks follow
// SQL Server's LIKE rules: every character of the pattern is significant.
bool Like(std::string_view value, std::string_view pattern, char32_t escape = 0);
// The first character of a LIKE ESCAPE text (0 when empty).
char32_t FirstCodePoint(std::string_view s);

// The same pattern compiled once, for matching many values. A pattern that
// ends in the escape character matches nothing; a '[' without its ']' is a
// literal '['. Ranges [a-z] follow the collation's order.
class LikePattern {
 public:
  explicit LikePattern(std::string_view pattern, char32_t escape = 0);
  bool Matches(std::string_view value) const;
  // PATINDEX: the byte offset where the match begins, the first part of the
  // pattern between its '%'s at its leftmost place; npos when there is none.
  size_t FindStart(std::string_view value) const;

 private:
  enum class Kind { kLiteral, kAnyOne, kAnyRun, kSet };
  struct Token {
    explicit Token(Kind k, char32_t c = 0) : kind(k), ch(c) {}
    Kind kind;
    char32_t ch;
    bool negate = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // a single character is (c, c)
  };
  // The runs of tokens between '%'s; each token takes exactly one character.
  struct Segment {
    size_t first = 0, last = 0;  // tokens [first, last)
    std::vector<size_t> failure;  // for a run of literals only: its KMP table
  };
  bool MatchesOne(const Token& token, char32_t c) const;
  void FindSegments();
  // Where the segment matches when it starts at byte `pos`; npos if it does not.
  size_t MatchSegmentAt(const Segment& segment, std::string_view value, size_t pos) const;
  // The leftmost match at or after byte `pos`: its end, or npos.
  size_t FindSegment(const Segment& segment, std::string_view value, size_t pos) const;

  std::vector<Token> tokens_;
  std::vector<Segment> segments_;
  bool leading_any_ = false, trailing_any_ = false, has_any_ = false;
  bool valid_ = true;
};

// Number of characters (code points) with trailing blanks removed: LEN().
int64_t Length(std::string_view s);
// Number of characters including trailing blanks (DATALENGTH/2 for nvarchar).
int64_t CharCount(std::string_view s);
// Byte offset of character index `chars` (0-based) in s, clamped to s.size().
size_t ByteOffset(std::string_view s, int64_t chars);

// Upper/lower case of Unicode text (UPPER/LOWER).
std::string Upper(std::string_view s);
std::string Lower(std::string_view s);

// Replaces invalid UTF-8 sequences by U+FFFD so nothing downstream sees them.
std::string Sanitize(std::string_view s);

}  // namespace orv::engine::collation
