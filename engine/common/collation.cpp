// Compare, Hash and SortKey under Chinese_PRC_CI_AS. The order is ICU's
// Chinese pinyin tailoring at secondary strength (case, width and kana
// ignored, accents significant), with Latin before Chinese and plain vowels
// before toned ones as SQL Server has them. Pure ASCII text takes a table of
// ICU's own primary weights instead of calling the collator.
#include "engine/common/collation.h"

#include <unicode/coleitr.h>
#include <unicode/tblcoll.h>
#include <unicode/utf8.h>

#include <memory>

#include "engine/common/collation_internal.h"
#include "engine/common/errors.h"

namespace orv::engine::collation {
namespace {

// Builds the collator every thread clones. ICU's "zh" collation is the pinyin
// order; its tone-vowel import (á before a) and its move of Chinese ahead of
// Latin are dropped, so only the order of the Chinese characters is tailored.
std::unique_ptr<icu::RuleBasedCollator> BuildPrototype() {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Collator> zh(icu::Collator::createInstance(icu::Locale("zh"), status));
  icu::UnicodeString rules;
  if (U_SUCCESS(status)) {
    if (auto* rule_based = dynamic_cast<icu::RuleBasedCollator*>(zh.get())) rules = rule_based->getRules();
  }
  rules.findAndReplace(icu::UnicodeString(u"[import zh-u-co-private-pinyin]"), icu::UnicodeString());
  rules.findAndReplace(icu::UnicodeString(u"[reorder Hani]"), icu::UnicodeString());
  status = U_ZERO_ERROR;
  auto collator = std::make_unique<icu::RuleBasedCollator>(rules, status);
  if (U_FAILURE(status)) Throw(ErrorCode::kInternal, {"the collation Chinese_PRC_CI_AS cannot be loaded"});
  collator->setStrength(icu::Collator::SECONDARY);
  return collator;
}

const icu::RuleBasedCollator& Prototype() {
  static const std::unique_ptr<icu::RuleBasedCollator> prototype = BuildPrototype();
  return *prototype;
}

// The weights ICU gives each ASCII character: its one primary (0 when the
// character is ignorable). `usable` is false if any ASCII character needed
// more than one weight or a non-common secondary, in which case ASCII text
// goes through the collator like any other.
struct AsciiWeights {
  uint16_t primary[128] = {};
  bool usable = true;
};

AsciiWeights BuildAsciiWeights() {
  AsciiWeights w;
  std::unique_ptr<icu::CollationElementIterator> it(
      Prototype().createCollationElementIterator(icu::UnicodeString()));
  int32_t common_secondary = -1;
  for (int c = 0; c < 128; ++c) {
    UErrorCode status = U_ZERO_ERROR;
    it->setText(icu::UnicodeString(static_cast<UChar32>(c)), status);
    int count = 0;
    for (int32_t ce = it->next(status); ce != icu::CollationElementIterator::NULLORDER && U_SUCCESS(status);
         ce = it->next(status)) {
      if (icu::CollationElementIterator::primaryOrder(ce) == 0) continue;
      int32_t secondary = icu::CollationElementIterator::secondaryOrder(ce);
      if (++count > 1 || (common_secondary >= 0 && secondary != common_secondary)) w.usable = false;
      common_secondary = secondary;
      w.primary[c] = static_cast<uint16_t>(icu::CollationElementIterator::primaryOrder(ce));
    }
    if (U_FAILURE(status)) w.usable = false;
  }
  return w;
}

const AsciiWeights& Ascii() {
  static const AsciiWeights weights = BuildAsciiWeights();
  return weights;
}

// ICU collators must not be shared between threads: each thread clones one.
struct ThreadState {
  std::unique_ptr<icu::RuleBasedCollator> collator;
  std::unique_ptr<icu::CollationElementIterator> elements;
};

ThreadState& State() {
  thread_local ThreadState state;
  if (!state.collator) {
    state.collator.reset(Prototype().clone());
    state.elements.reset(state.collator->createCollationElementIterator(icu::UnicodeString()));
  }
  return state;
}

bool FastAscii(std::string_view s) { return IsAscii(s) && Ascii().usable; }

// Lexicographic order of the non-ignorable primaries: for ASCII at
// secondary strength this is exactly the collator's answer.
int CompareAscii(std::string_view a, std::string_view b) {
  const AsciiWeights& w = Ascii();
  size_t i = 0, j = 0;
  for (;;) {
    while (i < a.size() && w.primary[static_cast<unsigned char>(a[i])] == 0) ++i;
    while (j < b.size() && w.primary[static_cast<unsigned char>(b[j])] == 0) ++j;
    if (i == a.size() || j == b.size()) return i == a.size() ? (j == b.size() ? 0 : -1) : 1;
    uint16_t pa = w.primary[static_cast<unsigned char>(a[i++])];
    uint16_t pb = w.primary[static_cast<unsigned char>(b[j++])];
    if (pa != pb) return pa < pb ? -1 : 1;
  }
}

// FNV-1a over 16-bit weights, with a final mix so short keys spread.
struct Hasher {
  uint64_t h = 1469598103934665603ULL;
  void Add(uint16_t v) {
    h = (h ^ (v & 0xFF)) * 1099511628211ULL;
    h = (h ^ (v >> 8)) * 1099511628211ULL;
  }
  uint64_t Done() const {
    uint64_t x = h;
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    return x;
  }
};

}  // namespace

std::string_view TrimTrailingBlanks(std::string_view s) {
  size_t end = s.size();
  while (end > 0 && s[end - 1] == ' ') --end;
  return s.substr(0, end);
}

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

int CompareUntrimmed(std::string_view a, std::string_view b) {
  if (FastAscii(a) && FastAscii(b)) return CompareAscii(a, b);
  UErrorCode status = U_ZERO_ERROR;
  UCollationResult r = State().collator->compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                                                      icu::StringPiece(b.data(), static_cast<int32_t>(b.size())),
                                                      status);
  return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

int Compare(std::string_view a, std::string_view b) { return CompareUntrimmed(TrimTrailingBlanks(a), TrimTrailingBlanks(b)); }

// Strings equal under the collation have the same non-ignorable primary
// weights, so hashing those keeps Hash consistent with Equal on both paths.
uint64_t Hash(std::string_view s) {
  s = TrimTrailingBlanks(s);
  Hasher hasher;
  if (FastAscii(s)) {
    const AsciiWeights& w = Ascii();
    for (char c : s) {
      uint16_t p = w.primary[static_cast<unsigned char>(c)];
      if (p != 0) hasher.Add(p);
    }
    return hasher.Done();
  }
  ThreadState& state = State();
  UErrorCode status = U_ZERO_ERROR;
  state.elements->setText(icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size()))),
                          status);
  for (int32_t ce = state.elements->next(status); ce != icu::CollationElementIterator::NULLORDER && U_SUCCESS(status);
       ce = state.elements->next(status)) {
    int32_t p = icu::CollationElementIterator::primaryOrder(ce);
    if (p != 0) hasher.Add(static_cast<uint16_t>(p));
  }
  return hasher.Done();
}

std::string SortKey(std::string_view s) {
  s = TrimTrailingBlanks(s);
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
  icu::Collator& collator = *State().collator;
  std::string key(64, '\0');
  int32_t length = collator.getSortKey(text, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
  if (length > static_cast<int32_t>(key.size())) {
    key.resize(length);
    length = collator.getSortKey(text, reinterpret_cast<uint8_t*>(key.data()), length);
  }
  // ICU ends the key with a zero byte; it adds nothing to the order.
  key.resize(length > 0 ? length - 1 : 0);
  return key;
}

int CompareChars(char32_t a, char32_t b) {
  char buf_a[4], buf_b[4];
  int32_t len_a = 0, len_b = 0;
  UBool error = false;
  U8_APPEND(buf_a, len_a, 4, a, error);
  U8_APPEND(buf_b, len_b, 4, b, error);
  if (error) return a < b ? -1 : (a > b ? 1 : 0);
  return CompareUntrimmed(std::string_view(buf_a, len_a), std::string_view(buf_b, len_b));
}

}  // namespace orv::engine::collation
