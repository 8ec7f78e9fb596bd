// Editors on the ERP's home platform save scripts in UTF-16 or with a UTF-8
// byte-order mark; both are read as the server's command-line client reads
// them. A script without a mark is taken as UTF-16 when its first character
// has a zero byte, since no UTF-8 script holds one.
#include "cli/script_text.h"

#include <unicode/ustring.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace orv::cli {
namespace {

enum class Encoding { Utf8, Utf16Le, Utf16Be };

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

Encoding Detect(std::string_view& bytes) {
  if (bytes.starts_with(kUtf8Mark)) {
    bytes.remove_prefix(kUtf8Mark.size());
    return Encoding::Utf8;
  }
  if (bytes.starts_with(kUtf16LeMark)) {
    bytes.remove_prefix(kUtf16LeMark.size());
    return Encoding::Utf16Le;
  }
  if (bytes.starts_with(kUtf16BeMark)) {
    bytes.remove_prefix(kUtf16BeMark.size());
    return Encoding::Utf16Be;
  }
  if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') return Encoding::Utf16Le;
  if (bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] != '\0') return Encoding::Utf16Be;
  return Encoding::Utf8;
}

std::string FromUtf16(std::string_view bytes, bool little_endian, std::string_view source) {
  if (bytes.size() % 2 != 0) {
    throw std::runtime_error("'" + std::string(source) + "' is not valid UTF-16: it has an odd number of bytes.");
  }
  std::vector<UChar> units(bytes.size() / 2);
  for (size_t i = 0; i < units.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<UChar>(little_endian ? first | second << 8 : first << 8 | second);
  }
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strToUTF8(nullptr, 0, &length, units.data(), static_cast<int32_t>(units.size()), &status);
  std::string text(static_cast<size_t>(length), '\0');
  status = U_ZERO_ERROR;
  u_strToUTF8(text.data(), length, &length, units.data(), static_cast<int32_t>(units.size()), &status);
  if (U_FAILURE(status)) {
    throw std::runtime_error("'" + std::string(source) + "' is not valid UTF-16: it holds a lone surrogate.");
  }
  return text;
}

}  // namespace

std::string ReadInput(const std::string& path) {
  std::ostringstream text;
  if (path == "-") {
    text << std::cin.rdbuf();
    return text.str();
  }
  // A folder opens like a file and reads as nothing; it must not pass for an empty script.
  if (std::filesystem::is_directory(path)) throw std::runtime_error("'" + path + "' is a folder, not a file.");
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("Cannot open file '" + path + "'.");
  text << file.rdbuf();
  if (file.bad()) throw std::runtime_error("Cannot read file '" + path + "'.");
  return text.str();
}

std::string DecodeScript(std::string_view bytes, std::string_view source) {
  switch (Detect(bytes)) {
    case Encoding::Utf16Le:
      return FromUtf16(bytes, true, source);
    case Encoding::Utf16Be:
      return FromUtf16(bytes, false, source);
    case Encoding::Utf8:
      break;
  }
  return std::string(bytes);
}

}  // namespace orv::cli
