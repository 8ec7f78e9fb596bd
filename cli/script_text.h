// Reading a script: from a file or standard input, in UTF-8 (with or without
// a byte-order mark) or UTF-16 (little or big endian, with a byte-order mark
// or recognised by its zero bytes), always handed on as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace orv::cli {

// The bytes of a file, or of standard input for "-". Throws
// std::runtime_error naming the file when it cannot be read.
std::string ReadInput(const std::string& path);

// The script's text in UTF-8, its byte-order mark removed. Throws
// std::runtime_error naming `source` when UTF-16 text is broken (an odd
// number of bytes, a lone surrogate).
std::string DecodeScript(std::string bytes, std::string_view source);

}  // namespace orv::cli
