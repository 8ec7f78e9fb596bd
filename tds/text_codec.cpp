// UTF-8 <-> UTF-16LE by hand (every value of every row passes here, ASCII
// takes a short path) and code pages through ICU converters, one per thread
// and code page because a converter keeps state and is not thread-safe.
#include "tds/text_codec.h"

#include <unicode/ucnv.h>

#include <map>
#include <memory>

namespace orv::tds {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 character at `pos`, advancing it; malformed bytes give U+FFFD.
char32_t NextCodePoint(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(pos);
  size_t extra;
  char32_t code;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    code = lead & 0x07;
  } else {
    ++pos;
    return kReplacement;
  }
  if (pos + extra >= text.size()) {
    pos = text.size();
    return kReplacement;
  }
  for (size_t i = 1; i <= extra; ++i) {
    const uint8_t next = byte(pos + i);
    if ((next & 0xC0) != 0x80) {
      pos += i;
      return kReplacement;
    }
    code = code << 6 | (next & 0x3F);
  }
  pos += extra + 1;
  const bool overlong = (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000);
  if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  return code;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | code >> 6));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | code >> 12));
    out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | code >> 18));
    out.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

void AppendUnit(std::string& out, char16_t unit) {
  const char bytes[2] = {static_cast<char>(unit), static_cast<char>(unit >> 8)};
  out.append(bytes, 2);
}

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};

// This thread's converter for `code_page`, or null when ICU has none.
UConverter* ConverterFor(int code_page) {
  thread_local std::map<int, std::unique_ptr<UConverter, ConverterCloser>> converters;
  auto found = converters.find(code_page);
  if (found == converters.end()) {
    UErrorCode status = U_ZERO_ERROR;
    const std::string name = code_page == 437 || code_page == 850 ? "cp" + std::to_string(code_page)
                                                                   : "windows-" + std::to_string(code_page);
    UConverter* converter = ucnv_open(name.c_str(), &status);
    if (U_FAILURE(status)) converter = nullptr;
    found = converters.emplace(code_page, std::unique_ptr<UConverter, ConverterCloser>(converter)).first;
  }
  return found->second.get();
}

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<uint8_t>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string Utf16ToUtf8(Bytes utf16le) {
  std::string out;
  out.reserve(utf16le.size() / 2);
  const size_t units = utf16le.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    const char32_t unit = utf16le[2 * i] | utf16le[2 * i + 1] << 8;
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
      const char32_t low = utf16le[2 * i + 2] | utf16le[2 * i + 3] << 8;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
      } else {
        AppendUtf8(out, kReplacement);
      }
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  if (utf16le.size() % 2 != 0) AppendUtf8(out, kReplacement);
  return out;
}

size_t AppendUtf16(std::string& out, std::string_view utf8, size_t max_units) {
  size_t units = 0;
  size_t pos = 0;
  while (pos < utf8.size()) {
    const uint8_t lead = static_cast<uint8_t>(utf8[pos]);
    if (lead < 0x80) {
      if (units + 1 > max_units) break;
      const char bytes[2] = {static_cast<char>(lead), 0};
      out.append(bytes, 2);
      ++units;
      ++pos;
      continue;
    }
    size_t next = pos;
    const char32_t code = NextCodePoint(utf8, next);
    const size_t needed = code >= 0x10000 ? 2 : 1;
    if (units + needed > max_units) break;
    if (code >= 0x10000) {
      AppendUnit(out, static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      AppendUnit(out, static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      AppendUnit(out, static_cast<char16_t>(code));
    }
    units += needed;
    pos = next;
  }
  return units;
}

void AppendInCodePage(std::string& out, std::string_view utf8, int code_page) {
  if (code_page == 65001 || IsAscii(utf8)) {
    out.append(utf8);
    return;
  }
  UConverter* converter = ConverterFor(code_page);
  if (converter == nullptr) {
    for (size_t pos = 0; pos < utf8.size();) {
      const char32_t code = NextCodePoint(utf8, pos);
      out.push_back(code < 0x80 ? static_cast<char>(code) : '?');
    }
    return;
  }
  // Through UTF-16, as ICU converts; characters outside the code page become its substitute.
  std::string units;
  AppendUtf16(units, utf8);
  const size_t start = out.size();
  out.resize(start + units.size() * 2 + 16);
  UErrorCode status = U_ZERO_ERROR;
  const int32_t written =
      ucnv_fromUChars(converter, out.data() + start, static_cast<int32_t>(out.size() - start),
                      reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size() / 2), &status);
  out.resize(U_FAILURE(status) ? start : start + static_cast<size_t>(written));
}

std::string CodePageToUtf8(Bytes text, int code_page) {
  const std::string_view view(reinterpret_cast<const char*>(text.data()), text.size());
  std::string out;
  if (code_page == 65001 || IsAscii(view)) {
    // Re-encoding repairs malformed UTF-8.
    for (size_t pos = 0; pos < view.size();) AppendUtf8(out, NextCodePoint(view, pos));
    return out;
  }
  UConverter* converter = ConverterFor(code_page);
  if (converter == nullptr) {
    for (const char c : view) AppendUtf8(out, static_cast<uint8_t>(c) < 0x80 ? static_cast<char32_t>(c) : kReplacement);
    return out;
  }
  std::u16string units(text.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t count = ucnv_toUChars(converter, units.data(), static_cast<int32_t>(units.size()), view.data(),
                                      static_cast<int32_t>(view.size()), &status);
  if (U_FAILURE(status)) return out;
  return Utf16ToUtf8(Bytes(reinterpret_cast<const uint8_t*>(units.data()), static_cast<size_t>(count) * 2));
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

int CodePageOfCollation(Bytes collation) {
  if (collation.size() != 5) return 1252;
  const uint32_t lcid = collation[0] | collation[1] << 8 | (collation[2] & 0x0F) << 16;
  const uint8_t flags = static_cast<uint8_t>(collation[2] >> 4 | (collation[3] & 0x0F) << 4);
  const uint8_t sort_id = collation[4];
  if (flags & 0x40) return 65001;  // a UTF-8 collation
  if (sort_id != 0) {
    // SQL collations: the sort order decides.
    if (sort_id >= 80 && sort_id <= 96) return 1250;
    if (sort_id >= 104 && sort_id <= 108) return 1251;
    if (sort_id == 30 || sort_id == 31 || sort_id == 32 || sort_id == 33 || sort_id == 34) return 437;
    if (sort_id >= 40 && sort_id <= 49) return 850;
    return 1252;
  }
  switch (lcid) {
    case 0x0804:
    case 0x1004:
      return 936;
    case 0x0404:
    case 0x0C04:
    case 0x1404:
      return 950;
    case 0x0C1A:  // Serbian, Cyrillic
      return 1251;
    default:
      break;
  }
  switch (lcid & 0x3FF) {
    case 0x04:
      return 936;
    case 0x11:
      return 932;
    case 0x12:
      return 949;
    case 0x1E:
      return 874;
    case 0x2A:
      return 1258;
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2F: case 0x3F: case 0x44:
      return 1251;
    case 0x05: case 0x0E: case 0x15: case 0x18: case 0x1A: case 0x1B: case 0x1C: case 0x24:
      return 1250;
    case 0x08:
      return 1253;
    case 0x1F:
      return 1254;
    case 0x0D:
      return 1255;
    case 0x01: case 0x20: case 0x29:
      return 1256;
    case 0x25: case 0x26: case 0x27:
      return 1257;
    default:
      return 1252;
  }
}

}  // namespace orv::tds
