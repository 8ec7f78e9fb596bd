// Matching a value against a compiled LIKE pattern in time linear in the
// value. Between two '%'s each token takes exactly one character, so the
// runs of tokens are fixed-length segments: the first is anchored at the
// start (unless the pattern opens with '%'), the last at the end (unless it
// closes with one), and each one between is taken at its leftmost match,
// which can never lose a match a later choice would find. A run of plain
// characters is searched with Knuth-Morris-Pratt, which never steps back in
// the value; only runs holding '_' or sets are tried position by position.
#include "engine/common/collation.h"
#include "engine/common/collation_internal.h"

namespace orv::engine::collation {
namespace {

constexpr size_t kNone = std::string_view::npos;

// The byte offset `chars` characters before the end of s, or kNone.
size_t CharsFromEnd(std::string_view s, size_t chars) {
  size_t pos = s.size();
  for (size_t i = 0; i < chars; ++i) {
    if (pos == 0) return kNone;
    --pos;
    while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
  }
  return pos;
}

}  // namespace

void LikePattern::FindSegments() {
  has_any_ = false;
  for (size_t t = 0; t < tokens_.size();) {
    if (tokens_[t].kind == Kind::kAnyRun) {
      has_any_ = true;
      ++t;
      continue;
    }
    Segment segment;
    segment.first = t;
    bool literal = true;
    for (; t < tokens_.size() && tokens_[t].kind != Kind::kAnyRun; ++t) {
      if (tokens_[t].kind != Kind::kLiteral) literal = false;
    }
    segment.last = t;
    if (literal) {
      // failure[k]: the longest proper border of the first k+1 characters.
      const size_t length = segment.last - segment.first;
      segment.failure.assign(length, 0);
      for (size_t k = 1, border = 0; k < length; ++k) {
        while (border > 0 && !MatchesOne(tokens_[segment.first + border], tokens_[segment.first + k].ch)) {
          border = segment.failure[border - 1];
        }
        if (MatchesOne(tokens_[segment.first + border], tokens_[segment.first + k].ch)) ++border;
        segment.failure[k] = border;
      }
    }
    segments_.push_back(std::move(segment));
  }
  leading_any_ = !tokens_.empty() && tokens_.front().kind == Kind::kAnyRun;
  trailing_any_ = !tokens_.empty() && tokens_.back().kind == Kind::kAnyRun;
}

size_t LikePattern::MatchSegmentAt(const Segment& segment, std::string_view value, size_t pos) const {
  for (size_t t = segment.first; t < segment.last; ++t) {
    if (pos >= value.size()) return kNone;
    char32_t c;
    pos = NextCodePoint(value, pos, &c);
    if (!MatchesOne(tokens_[t], c)) return kNone;
  }
  return pos;
}

size_t LikePattern::FindSegment(const Segment& segment, std::string_view value, size_t pos) const {
  if (segment.failure.empty()) {
    for (size_t start = pos; start < value.size();) {
      const size_t end = MatchSegmentAt(segment, value, start);
      if (end != kNone) return end;
      char32_t c;
      start = NextCodePoint(value, start, &c);
    }
    return kNone;
  }
  const size_t length = segment.last - segment.first;
  size_t matched = 0;
  while (pos < value.size()) {
    char32_t c;
    pos = NextCodePoint(value, pos, &c);
    while (matched > 0 && !MatchesOne(tokens_[segment.first + matched], c)) matched = segment.failure[matched - 1];
    if (MatchesOne(tokens_[segment.first + matched], c)) ++matched;
    if (matched == length) return pos;
  }
  return kNone;
}

bool LikePattern::Matches(std::string_view value) const {
  if (!valid_) return false;
  if (!has_any_) {
    if (segments_.empty()) return value.empty();
    return MatchSegmentAt(segments_.front(), value, 0) == value.size();
  }
  size_t pos = 0;
  size_t next = 0;
  if (!leading_any_ && !segments_.empty()) {
    pos = MatchSegmentAt(segments_.front(), value, 0);
    if (pos == kNone) return false;
    next = 1;
  }
  const size_t middle_end = trailing_any_ ? segments_.size() : segments_.size() - 1;
  for (; next < middle_end; ++next) {
    pos = FindSegment(segments_[next], value, pos);
    if (pos == kNone) return false;
  }
  if (trailing_any_ || next >= segments_.size()) return true;
  // The last segment ends the value: it starts a fixed number of characters before the end.
  const Segment& last = segments_.back();
  const size_t start = CharsFromEnd(value, last.last - last.first);
  return start != kNone && start >= pos && MatchSegmentAt(last, value, start) == value.size();
}

size_t LikePattern::FindStart(std::string_view value) const {
  if (!Matches(value)) return kNone;
  if (!leading_any_ || segments_.empty()) return 0;
  const Segment& first = segments_.front();
  const size_t length = first.last - first.first;
  // A lone segment after a leading '%' ends the value; otherwise Matches took
  // each segment at its leftmost place, and the first one's is the answer.
  if (segments_.size() == 1 && !trailing_any_) return CharsFromEnd(value, length);
  return CharsFromEnd(value.substr(0, FindSegment(first, value, 0)), length);
}

}  // namespace orv::engine::collation
