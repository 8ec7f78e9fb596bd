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
  // Room for the whole file first: a script of a million rows is over 100 MB,
  // and a buffer that grows as it reads copies it again at every step.
  std::string bytes;
  std::error_code no_size;
  if (const uintmax_t size = std::filesystem::file_size(path, no_size); !no_size) bytes.reserve(size);
  std::vector<char> block(size_t{1} << 16);
  while (file.read(block.data(), static_cast<std::streamsize>(block.size())) || file.gcount() > 0) {
    bytes.append(block.data(), static_cast<size_t>(file.gcount()));
  }
  if (file.bad()) throw std::runtime_error("Cannot read file '" + path + "'.");
  return bytes;
}

std::string DecodeScript(std::string bytes, std::string_view source) {
  std::string_view text = bytes;
  switch (Detect(text)) {
    case Encoding::Utf16Le:
      return FromUtf16(text, true, source);
    case Encoding::Utf16Be:
      return FromUtf16(text, false, source);
    case Encoding::Utf8:
      break;
  }
  // UTF-8 stays where it was read, less its byte-order mark.
  bytes.erase(0, bytes.size() - text.size());
  return bytes;
}

}  // namespace orv::cli
