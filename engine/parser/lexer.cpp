// Tokenizer of Transact-SQL batches. Works on bytes; non-ASCII letters (read
// as UTF-8) may appear in names, anything else non-ASCII only in strings and
// comments. Block comments nest, as in SQL Server.
#include "engine/parser/lexer.h"

#include <unicode/uchar.h>

#include "engine/common/ascii.h"
#include "engine/common/errors.h"
#include "engine/parser/keywords.h"

namespace orv::engine::parse {
namespace {

constexpr size_t kMaxIdentifierChars = 128;

// Decodes one UTF-8 sequence at `i`; returns its length, or 0 when broken.
size_t DecodeUtf8(std::string_view s, size_t i, UChar32& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  size_t len = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || i + len > s.size()) return 0;
  cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
  for (size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b >> 6) != 0x2) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  static constexpr UChar32 kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  std::vector<Token> Run() {
    std::vector<Token> tokens;
    tokens.reserve(text_.size() / 4 + 1);
    while (SkipBlanksAndComments()) tokens.push_back(Next());
    Token end;
    end.line = line_;
    end.begin = end.end = static_cast<uint32_t>(text_.size());
    tokens.push_back(end);
    return tokens;
  }

 private:
  // Length of the name character at `pos` (0 when there is none there).
  size_t NameCharAt(size_t pos, bool first) const {
    if (pos >= text_.size()) return 0;
    const char c = text_[pos];
    if (IsAsciiLetter(c) || c == '_' || c == '#') return 1;
    if (!first && (IsDigit(c) || c == '$' || c == '@')) return 1;
    if (static_cast<unsigned char>(c) < 0x80) return 0;
    UChar32 cp = 0;
    const size_t len = DecodeUtf8(text_, pos, cp);
    if (len == 0) return 0;
    if (u_isalpha(cp)) return len;
    const int8_t type = u_charType(cp);
    if (!first && (u_isdigit(cp) || type == U_NON_SPACING_MARK || type == U_COMBINING_SPACING_MARK)) return len;
    return 0;
  }

  // Moves past blanks and comments; false at the end of the text.
  bool SkipBlanksAndComments() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f') {
        ++pos_;
      } else if (c == '-' && Peek(1) == '-') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else if (c == '/' && Peek(1) == '*') {
        SkipBlockComment();
      } else {
        return true;
      }
    }
    return false;
  }

  void SkipBlockComment() {
    int depth = 0;
    while (pos_ < text_.size()) {
      if (text_[pos_] == '/' && Peek(1) == '*') {
        ++depth;
        pos_ += 2;
      } else if (text_[pos_] == '*' && Peek(1) == '/') {
        pos_ += 2;
        if (--depth == 0) return;
      } else {
        if (text_[pos_] == '\n') ++line_;
        ++pos_;
      }
    }
    Throw(ErrorCode::kMissingEndComment, {}, line_);
  }

  char Peek(size_t ahead) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }

  Token Next() {
    Token t;
    t.line = line_;
    t.begin = static_cast<uint32_t>(pos_);
    const char c = text_[pos_];
    if ((c == 'N' || c == 'n') && Peek(1) == '\'') {
      ++pos_;
      ScanQuoted('\'', t);
      t.kind = TokenKind::NString;
    } else if (c == '\'') {
      ScanQuoted('\'', t);
      t.kind = TokenKind::String;
    } else if (c == '[') {
      ScanQuoted(']', t);
      t.kind = TokenKind::QuotedName;
    } else if (c == '"') {
      ScanQuoted('"', t);
      t.kind = TokenKind::QuotedName;
    } else if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) {
      ScanNumber(t);
    } else if (c == '@' && NameCharAt(pos_ + 1, false) != 0) {
      ++pos_;
      ScanNameRest();
      t.kind = TokenKind::Variable;
    } else if (NameCharAt(pos_, true) != 0) {
      pos_ += NameCharAt(pos_, true);
      ScanNameRest();
      t.kind = TokenKind::Word;
      t.reserved = IsReservedKeyword(text_.substr(t.begin, pos_ - t.begin));
    } else {
      ScanOperator(t);
    }
    t.end = static_cast<uint32_t>(pos_);
    if (t.kind == TokenKind::Operator) t.op = OperatorCode(text_.substr(t.begin, t.end - t.begin));
    CheckLength(t);
    return t;
  }

  void ScanNameRest() {
    for (size_t len = NameCharAt(pos_, false); len != 0; len = NameCharAt(pos_, false)) pos_ += len;
  }

  // Scans from the opening quote at pos_ to the closing `close`; a doubled
  // closing character stands for itself.
  void ScanQuoted(char close, const Token& t) {
    ++pos_;
    while (pos_ < text_.size()) {
      if (text_[pos_] == close) {
        if (Peek(1) != close) {
          ++pos_;
          return;
        }
        pos_ += 2;
      } else {
        if (text_[pos_] == '\n') ++line_;
        ++pos_;
      }
    }
    Token partial = t;
    partial.end = static_cast<uint32_t>(text_.size());
    partial.kind = close == '\'' ? TokenKind::String : TokenKind::QuotedName;
    if (text_[t.begin] == 'N' || text_[t.begin] == 'n') partial.kind = TokenKind::NString;
    Throw(ErrorCode::kUnclosedQuote, {TokenDisplay(text_, partial)}, t.line);
  }

  void ScanNumber(Token& t) {
    if ((text_[pos_] == '0') && (Peek(1) == 'x' || Peek(1) == 'X')) {
      Throw(ErrorCode::kNotSupported, {"A binary constant"}, line_);
    }
    t.kind = TokenKind::Integer;
    while (IsDigit(Peek(0))) ++pos_;
    if (Peek(0) == '.') {
      t.kind = TokenKind::Decimal;
      ++pos_;
      while (IsDigit(Peek(0))) ++pos_;
    }
    // An exponent needs its digits; "0ELSE" is the number 0 and a word.
    if (Peek(0) == 'e' || Peek(0) == 'E') {
      size_t k = 1;
      if (Peek(1) == '+' || Peek(1) == '-') k = 2;
      if (IsDigit(Peek(k))) {
        t.kind = TokenKind::Float;
        pos_ += k;
        while (IsDigit(Peek(0))) ++pos_;
      }
    }
  }

  void ScanOperator(Token& t) {
    const char c = text_[pos_];
    const char n = Peek(1);
    t.kind = TokenKind::Operator;
    if ((c == '<' && (n == '=' || n == '>')) || (c == '>' && n == '=') ||
        (c == '!' && (n == '=' || n == '<' || n == '>'))) {
      pos_ += 2;
      return;
    }
    if (c == '$' && (IsDigit(n) || n == '.')) Throw(ErrorCode::kNotSupported, {"A money constant"}, line_);
    static constexpr std::string_view kSingle = "+-*/%&|^~=<>(),.;:";
    if (kSingle.find(c) != std::string_view::npos) {
      ++pos_;
      return;
    }
    t.kind = TokenKind::Invalid;
    UChar32 cp = 0;
    const size_t len = DecodeUtf8(text_, pos_, cp);
    pos_ += len == 0 ? 1 : len;
  }

  void CheckLength(const Token& t) {
    if (t.kind != TokenKind::Word && t.kind != TokenKind::QuotedName && t.kind != TokenKind::Variable) return;
    if (t.end - t.begin <= kMaxIdentifierChars) return;  // no more characters than bytes
    const std::string value = TokenValue(text_, t);
    size_t chars = 0;
    size_t cut = value.size();
    for (size_t i = 0; i < value.size(); ++i) {
      if ((static_cast<unsigned char>(value[i]) & 0xC0) == 0x80) continue;
      if (++chars == kMaxIdentifierChars + 1) cut = i;
    }
    if (chars > kMaxIdentifierChars) Throw(ErrorCode::kIdentifierTooLong, {value.substr(0, cut)}, t.line);
  }

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view text) {
  if (text.size() >= UINT32_MAX) Throw(ErrorCode::kNotSupported, {"A batch of 4 GB or more"});
  return Lexer(text).Run();
}

std::string TokenValue(std::string_view text, const Token& token) {
  std::string_view raw = text.substr(token.begin, token.end - token.begin);
  char quote = 0;
  switch (token.kind) {
    case TokenKind::NString:
      raw.remove_prefix(1);
      quote = '\'';
      break;
    case TokenKind::String:
      quote = '\'';
      break;
    case TokenKind::QuotedName:
      quote = raw.empty() ? 0 : (raw[0] == '[' ? ']' : '"');
      break;
    default:
      return std::string(raw);
  }
  // Drop the opening quote, and the closing one when present (an unclosed
  // string is displayed from its partial text).
  raw.remove_prefix(1);
  if (!raw.empty() && raw.back() == quote) {
    size_t run = 0;
    while (run < raw.size() && raw[raw.size() - 1 - run] == quote) ++run;
    if (run % 2 == 1) raw.remove_suffix(1);
  }
  std::string value;
  value.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    value += raw[i];
    if (raw[i] == quote && i + 1 < raw.size() && raw[i + 1] == quote) ++i;
  }
  return value;
}

std::string TokenDisplay(std::string_view text, const Token& token) {
  const std::string value = TokenValue(text, token);
  std::string shown;
  shown.reserve(value.size());
  for (size_t i = 0; i < value.size();) {
    UChar32 cp = 0;
    const size_t len = DecodeUtf8(value, i, cp);
    if (len == 0) {
      shown += "\xEF\xBF\xBD";  // U+FFFD for a broken byte
      ++i;
    } else if (len == 1 && (cp < 0x20 || cp == 0x7F)) {
      shown += cp == '\n' || cp == '\r' || cp == '\t' ? static_cast<char>(cp) : '?';
      ++i;
    } else {
      shown.append(value, i, len);
      i += len;
    }
  }
  return shown;
}

}  // namespace orv::engine::parse
