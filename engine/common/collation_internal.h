// Helpers shared by the collation's source files (comparison, LIKE, text
// functions); not part of the engine's interface.
#pragma once

#include <string_view>

namespace orv::engine::collation {

// s without its trailing U+0020 blanks, which comparisons ignore.
std::string_view TrimTrailingBlanks(std::string_view s);
bool IsAscii(std::string_view s);
// Compare without trimming: -1, 0, 1.
int CompareUntrimmed(std::string_view a, std::string_view b);
// Two characters compared under the collation: -1, 0, 1.
int CompareChars(char32_t a, char32_t b);
// The character at byte `pos` of s into *c (U+FFFD for an invalid sequence);
// returns the offset after it.
size_t NextCodePoint(std::string_view s, size_t pos, char32_t* c);

}  // namespace orv::engine::collation
