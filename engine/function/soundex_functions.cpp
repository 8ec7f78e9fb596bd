// SOUNDEX and DIFFERENCE: the four-character sound code of a word (its first
// letter and three digits for the consonants that follow) and how many of
// two words' code characters agree, 0 to 4.
#include <array>
#include <cctype>
#include <string>

#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

// The digit of a consonant; '0' for the letters the code skips (vowels, H,
// W, Y).
char CodeOf(char upper_letter) {
  static constexpr std::string_view kCodes = "01230120022455012623010202";  // A..Z
  return kCodes[upper_letter - 'A'];
}

bool IsAsciiLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 && (c & 0x80) == 0; }

// Letters of equal digit next to each other, or with only H or W between,
// give one digit; a vowel between lets the digit repeat. The first character
// that is not a letter ends the word.
std::string Soundex(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && !IsAsciiLetter(text[pos])) ++pos;
  if (pos == text.size()) return "0000";
  const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos])));
  std::string code(1, first);
  char last = CodeOf(first);
  for (++pos; pos < text.size() && code.size() < 4 && IsAsciiLetter(text[pos]); ++pos) {
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos])));
    const char digit = CodeOf(letter);
    if (letter == 'H' || letter == 'W') continue;
    if (digit != '0' && digit != last) code.push_back(digit);
    last = digit;
  }
  code.resize(4, '0');
  return code;
}

template <FunctionName kName, int kArgs>
DataType TextArgumentsType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), kArgs, kArgs);
  return kArgs == 1 ? DataType{TypeId::VarChar, 0, 0, 4} : DataType{TypeId::Int};
}

Value SoundexEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  return MakeText(TypeId::VarChar, Soundex(TextOf(args[0], context)), context.arena);
}

Value DifferenceEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  const std::string a = Soundex(TextOf(args[0], context));
  const std::string b = Soundex(TextOf(args[1], context));
  int same = 0;
  for (size_t i = 0; i < 4; ++i) same += a[i] == b[i] ? 1 : 0;
  return Value::Integer(TypeId::Int, same);
}

constexpr std::array kFunctions = {
    ScalarFunction{"SOUNDEX", 1, 1, TextArgumentsType<"soundex", 1>, SoundexEval},
    ScalarFunction{"DIFFERENCE", 2, 2, TextArgumentsType<"difference", 2>, DifferenceEval},
};

}  // namespace

std::span<const ScalarFunction> SoundexFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
