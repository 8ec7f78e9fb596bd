// LIKE under Chinese_PRC_CI_AS: the pattern is compiled into tokens (the
// matching is in collation_like_match.cpp). Characters
// match when they are equal under the collation (case, width and kana aside).
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "engine/common/collation.h"
#include "engine/common/collation_internal.h"

namespace orv::engine::collation {
namespace {

std::u32string Decode(std::string_view s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    char32_t c;
    i = NextCodePoint(s, i, &c);
    out.push_back(c);
  }
  return out;
}

char32_t AsciiLower(char32_t c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

bool CharsEqual(char32_t a, char32_t b) {
  if (a == b) return true;
  if (a < 0x80 && b < 0x80) return AsciiLower(a) == AsciiLower(b);
  if (u_foldCase(static_cast<UChar32>(a), U_FOLD_CASE_DEFAULT) ==
      u_foldCase(static_cast<UChar32>(b), U_FOLD_CASE_DEFAULT)) {
    return true;
  }
  return CompareChars(a, b) == 0;
}

}  // namespace

size_t NextCodePoint(std::string_view s, size_t pos, char32_t* c) {
  constexpr char32_t kReplacement = 0xFFFD;
  int32_t i = static_cast<int32_t>(pos);
  UChar32 u;
  U8_NEXT(s.data(), i, static_cast<int32_t>(s.size()), u);
  *c = u < 0 ? kReplacement : static_cast<char32_t>(u);
  return static_cast<size_t>(i);
}

LikePattern::LikePattern(std::string_view pattern, char32_t escape) {
  std::u32string p = Decode(pattern);
  size_t n = p.size();
  for (size_t i = 0; i < n; ++i) {
    char32_t c = p[i];
    if (escape != 0 && c == escape) {
      if (i + 1 == n) {
        valid_ = false;
        return;
      }
      tokens_.push_back(Token{Kind::kLiteral, p[++i]});
    } else if (c == '%') {
      if (tokens_.empty() || tokens_.back().kind != Kind::kAnyRun) tokens_.push_back(Token{Kind::kAnyRun});
    } else if (c == '_') {
      tokens_.push_back(Token{Kind::kAnyOne});
    } else if (c == '[') {
      // The set runs to the next ']' that is not escaped.
      size_t close = i + 1;
      while (close < n && p[close] != ']') close += (escape != 0 && p[close] == escape) ? 2 : 1;
      if (close >= n) {
        tokens_.push_back(Token{Kind::kLiteral, c});
        continue;
      }
      Token set{Kind::kSet};
      size_t j = i + 1;
      if (j < close && p[j] == '^') {
        set.negate = true;
        ++j;
      }
      while (j < close) {
        char32_t lo = p[j];
        if (escape != 0 && lo == escape && j + 1 < close) lo = p[++j];
        if (j + 2 < close && p[j + 1] == '-') {
          set.ranges.emplace_back(lo, p[j + 2]);
          j += 3;
        } else {
          set.ranges.emplace_back(lo, lo);
          ++j;
        }
      }
      tokens_.push_back(std::move(set));
      i = close;
    } else {
      tokens_.push_back(Token{Kind::kLiteral, c});
    }
  }
  FindSegments();
}

bool LikePattern::MatchesOne(const Token& token, char32_t c) const {
  switch (token.kind) {
    case Kind::kLiteral: return CharsEqual(token.ch, c);
    case Kind::kAnyOne: return true;
    case Kind::kAnyRun: return false;
    case Kind::kSet:
      for (const auto& [lo, hi] : token.ranges) {
        bool in = lo == hi ? CharsEqual(lo, c) : CompareChars(lo, c) <= 0 && CompareChars(c, hi) <= 0;
        if (in) return !token.negate;
      }
      return token.negate;
  }
  return false;
}

bool Like(std::string_view value, std::string_view pattern, char32_t escape) {
  return LikePattern(pattern, escape).Matches(value);
}

char32_t FirstCodePoint(std::string_view s) {
  if (s.empty()) return 0;
  auto b = static_cast<unsigned char>(s[0]);
  if (b < 0x80) return b;
  int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
  char32_t cp = b & (0x3F >> extra);
  for (int i = 1; i <= extra && i < static_cast<int>(s.size()); ++i) cp = (cp << 6) | (s[i] & 0x3F);
  return cp;
}

}  // namespace orv::engine::collation
