// Collation-aware search in text. Pure ASCII takes a byte-wise path with case
// folding (what the collation does to ASCII); other text is compared one
// candidate at a time through the collation itself.
#include "engine/function/text_search.h"

#include "engine/common/collation.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualAsciiFolded(std::string_view a, std::string_view b) {
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

bool IsAscii(std::string_view s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  return true;
}

int64_t CountChars(std::string_view s) {
  int64_t count = 0;
  for (unsigned char c : s) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

size_t CharOffset(std::string_view s, int64_t index) {
  size_t pos = 0;
  for (int64_t i = 0; i < index && pos < s.size(); ++i) pos = NextChar(s, pos);
  return pos;
}

size_t MatchAt(std::string_view hay, size_t pos, std::string_view needle) {
  if (IsAscii(needle) && IsAscii(hay.substr(pos, needle.size()))) {
    if (pos + needle.size() > hay.size()) return 0;
    return EqualAsciiFolded(hay.substr(pos, needle.size()), needle) ? needle.size() : 0;
  }
  // The candidate has as many characters as the needle. Both have the same
  // length, so the collation's disregard of trailing blanks cannot make a
  // shorter candidate match.
  int64_t chars = CountChars(needle);
  size_t end = pos;
  for (int64_t i = 0; i < chars; ++i) {
    if (end >= hay.size()) return 0;
    end = NextChar(hay, end);
  }
  return collation::Compare(hay.substr(pos, end - pos), needle) == 0 ? end - pos : 0;
}

AsciiFinder::AsciiFinder(std::string_view needle) : failure_(needle.size(), 0) {
  for (char c : needle) needle_.push_back(FoldAscii(c));
  for (size_t k = 1, border = 0; k < needle_.size(); ++k) {
    while (border > 0 && needle_[border] != needle_[k]) border = failure_[border - 1];
    if (needle_[border] == needle_[k]) ++border;
    failure_[k] = border;
  }
}

size_t AsciiFinder::Find(std::string_view hay, size_t from) const {
  if (needle_.empty()) return std::string_view::npos;
  size_t matched = 0;
  for (size_t i = from; i < hay.size(); ++i) {
    const char c = FoldAscii(hay[i]);
    while (matched > 0 && needle_[matched] != c) matched = failure_[matched - 1];
    if (needle_[matched] == c) ++matched;
    if (matched == needle_.size()) return i + 1 - matched;
  }
  return std::string_view::npos;
}

int64_t FindText(std::string_view hay, std::string_view needle, int64_t start) {
  if (needle.empty()) return 0;
  if (start < 1) start = 1;
  if (IsAscii(hay) && IsAscii(needle)) {
    const size_t found = AsciiFinder(needle).Find(hay, static_cast<size_t>(start - 1));
    return found == std::string_view::npos ? 0 : static_cast<int64_t>(found) + 1;
  }
  int64_t index = start;
  for (size_t pos = CharOffset(hay, start - 1); pos < hay.size(); pos = NextChar(hay, pos), ++index) {
    if (MatchAt(hay, pos, needle) > 0) return index;
  }
  return 0;
}

}  // namespace orv::engine::detail
