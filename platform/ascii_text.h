// Small text helpers for names and keys that are ASCII by nature (ProgIDs,
// connection-string keys, field names): the engine's case folding of A-Z
// only, so UTF-8 text passes through unchanged, and trimming of the blanks
// such keys and values may carry (space and tab; a line break is not one).
#pragma once

#include <string_view>

#include "engine/common/ascii.h"

namespace orv::platform {

using engine::AsciiLower;
using engine::EqualsIgnoreCase;
using engine::IsDigit;

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Only the space character, not tabs or line breaks: the session string and
// the translation keys are trimmed that way.
inline std::string_view TrimSpaces(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace orv::platform
