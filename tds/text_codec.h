// The text encodings on the wire: UTF-16LE for Unicode types and for all SQL
// and names, and a collation's code page for the non-Unicode types. The
// engine keeps text as UTF-8; these convert at the edge. Malformed input
// becomes U+FFFD (or '?' in a code page), never an error or an overrun.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tds/wire.h"

namespace orv::tds {

std::string Utf16ToUtf8(Bytes utf16le);
// Appends `utf8` as UTF-16LE; returns the code units written. `max_units`
// cuts the text at the last whole character that fits.
size_t AppendUtf16(std::string& out, std::string_view utf8, size_t max_units = SIZE_MAX);

// Windows code pages by number (936, 1252, ...); 65001 is UTF-8 itself.
void AppendInCodePage(std::string& out, std::string_view utf8, int code_page);
std::string CodePageToUtf8(Bytes text, int code_page);

// Names (logins, databases, procedures) compare without regard to ASCII case.
std::string AsciiLower(std::string_view text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The collation the server announces and gives its character columns:
// Chinese_PRC_CI_AS (LCID 0x0804, case-, kana- and width-insensitive).
inline constexpr uint8_t kServerCollation[5] = {0x04, 0x08, 0xD0, 0x00, 0x00};
inline constexpr int kServerCodePage = 936;
// The code page of a five-byte collation as it arrives with a parameter.
int CodePageOfCollation(Bytes collation);

}  // namespace orv::tds
