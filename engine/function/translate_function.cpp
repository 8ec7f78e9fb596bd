// TRANSLATE(text, characters, translations): each character of `text` found
// in `characters` becomes the one at the same place in `translations`, in a
// single pass, so a replaced character is never replaced again.
#include <array>
#include <string>
#include <vector>

#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

std::vector<std::string_view> CharactersOf(std::string_view text) {
  std::vector<std::string_view> characters;
  for (size_t pos = 0; pos < text.size();) {
    const size_t next = NextChar(text, pos);
    characters.push_back(text.substr(pos, next - pos));
    pos = next;
  }
  return characters;
}

// The result keeps the first argument's type, as SQL Server's does.
DataType TranslateType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "translate", 3, 3);
  return ImplicitStringType(args[0].id == TypeId::Null ? DataType{TypeId::VarChar, 0, 0, 1} : args[0]);
}

Value TranslateEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  const std::vector<std::string_view> from = CharactersOf(TextOf(args[1], context));
  const std::vector<std::string_view> to = CharactersOf(TextOf(args[2], context));
  if (from.size() != to.size()) Throw(ErrorCode::kTranslateLengths);
  std::string out;
  for (std::string_view c : CharactersOf(TextOf(args[0], context))) {
    size_t i = 0;
    while (i < from.size() && from[i] != c) ++i;  // the first listing of a character wins
    out += i < from.size() ? to[i] : c;
  }
  CheckBuiltText(out.size());
  return MakeText(result.id, out, context.arena);
}

constexpr std::array kFunctions = {
    ScalarFunction{"TRANSLATE", 3, 3, TranslateType, TranslateEval},
};

}  // namespace

std::span<const ScalarFunction> TranslateFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
