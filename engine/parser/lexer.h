// Splits the text of one batch into tokens: words, quoted names, variables,
// numbers, strings and operators, with the 1-based line each starts on.
// Comments and blanks are dropped here; what the tokens mean is the parser's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv::engine::parse {

enum class TokenKind : uint8_t {
  End,         // past the last token
  Word,        // plain identifier or keyword: letters, digits, _ @ # $
  QuotedName,  // [name] or "name"
  Variable,    // @name, @@name
  Integer,
  Decimal,
  Float,
  String,   // '...'
  NString,  // N'...'
  Operator,
  Invalid,  // a character that starts no token
};

// An operator's one or two characters packed into a number, for quick tests.
constexpr uint16_t OperatorCode(std::string_view op) {
  return static_cast<uint16_t>(static_cast<unsigned char>(op[0]) |
                               (op.size() > 1 ? static_cast<unsigned char>(op[1]) << 8 : 0));
}

struct Token {
  TokenKind kind = TokenKind::End;
  bool reserved = false;  // a Word that is one of SQL Server's reserved keywords
  uint16_t op = 0;        // OperatorCode of an Operator token
  int line = 1;
  uint32_t begin = 0;  // byte range in the batch text
  uint32_t end = 0;
};

// Tokenizes `text`. The result always ends with one End token. Throws
// SqlError 105 (unclosed quote or bracket), 113 (unclosed comment), 103
// (identifier longer than 128 characters) with the line where it starts.
std::vector<Token> Tokenize(std::string_view text);

// The value of a Word, QuotedName, String or NString token: brackets and quotes
// removed and doubled quotes undone; the text as written for the others.
std::string TokenValue(std::string_view text, const Token& token);

// The token as SQL Server names it in "Incorrect syntax near '...'": its value,
// with control characters and broken UTF-8 made printable.
std::string TokenDisplay(std::string_view text, const Token& token);

}  // namespace orv::engine::parse
