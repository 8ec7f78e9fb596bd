// Characters and their codes: CHAR, NCHAR, ASCII and UNICODE. CHAR and ASCII
// speak the database's code page, whose single-byte range is ASCII (the bytes
// above lead its two-byte characters).
#include <array>
#include <string>

#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

template <FunctionName kName, TypeId kResult>
DataType CodeToCharType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), 1, 1);
  RequireNumeric(args, 0, kName.view());
  return {kResult, 0, 0, 1};
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// CHAR(n) is NULL outside 0..127: a lone lead byte is no character.
Value CharEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(result.id);
  const int64_t code = IntegerOf(args[0], context);
  if (code < 0 || code > 127) return Value::Null(result.id);
  return MakeText(result.id, std::string(1, static_cast<char>(code)), context.arena);
}

// NCHAR(n): a UTF-16 code unit; surrogates and beyond 0xFFFF give NULL.
Value NCharEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(result.id);
  const int64_t code = IntegerOf(args[0], context);
  if (code < 0 || code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF)) return Value::Null(result.id);
  std::string text;
  AppendUtf8(text, static_cast<uint32_t>(code));
  return MakeText(result.id, text, context.arena);
}

template <FunctionName kName>
DataType CharToCodeType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), 1, 1);
  return {TypeId::Int};
}

// The first character's code point, NULL for empty text.
int64_t FirstCodePoint(std::string_view s) {
  const auto b = static_cast<unsigned char>(s[0]);
  const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
  int64_t c = extra == 0 ? b : b & (0x3F >> extra);
  for (int i = 1; i <= extra && i < static_cast<int>(s.size()); ++i) c = c << 6 | (s[i] & 0x3F);
  return c;
}

Value UnicodeEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(TypeId::Int);
  std::string_view text = TextOf(args[0], context);
  if (text.empty()) return Value::Null(TypeId::Int);
  return Value::Integer(TypeId::Int, FirstCodePoint(text));
}

Value AsciiEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(TypeId::Int);
  std::string_view text = TextOf(args[0], context);
  if (text.empty()) return Value::Null(TypeId::Int);
  const int64_t code = FirstCodePoint(text);
  if (code > 127) Throw(ErrorCode::kNotSupported, {"ASCII of a character outside ASCII"});
  return Value::Integer(TypeId::Int, code);
}

constexpr std::array kFunctions = {
    ScalarFunction{"CHAR", 1, 1, CodeToCharType<"char", TypeId::Char>, CharEval},
    ScalarFunction{"NCHAR", 1, 1, CodeToCharType<"nchar", TypeId::NChar>, NCharEval},
    ScalarFunction{"UNICODE", 1, 1, CharToCodeType<"unicode">, UnicodeEval},
    ScalarFunction{"ASCII", 1, 1, CharToCodeType<"ascii">, AsciiEval},
};

}  // namespace

std::span<const ScalarFunction> CharacterFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
