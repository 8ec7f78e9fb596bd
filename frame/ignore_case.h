// Text comparison without regard to letter case, as the automation runtime's
// collections and its text-compare search do it: Unicode simple case folding
// per code point. Bytes that are not valid UTF-8 compare as themselves, so any
// input is accepted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orv::frame {

// The text with every code point case-folded; invalid bytes are kept as they are.
// Two texts are equal ignoring case exactly when their folded forms are equal.
std::string FoldCase(std::string_view text);

// The first occurrence of `needle` in `haystack` ignoring case: its byte offset
// and byte length in `haystack` (the length can differ from the needle's when
// a character folds to one of another width). `found` is false when absent.
struct CaseMatch {
  bool found = false;
  size_t offset = 0;
  size_t length = 0;
};
CaseMatch FindIgnoreCase(std::string_view haystack, std::string_view needle);

}  // namespace orv::frame
