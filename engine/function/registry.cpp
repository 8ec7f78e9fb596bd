// Lookup of the built-in scalar functions by name, and the argument checks the
// families share.
#include "engine/function/registry.h"

#include <string>
#include <unordered_map>

#include "engine/function/value_util.h"

namespace orv::engine {
namespace detail {

void CheckArity(std::span<const DataType> args, std::string_view name, int min, int max) {
  int count = static_cast<int>(args.size());
  if (count >= min && count <= max) return;
  if (min == max) Throw(ErrorCode::kWrongArgumentCount, {name, std::to_string(min)});
  Throw(ErrorCode::kFunctionArgumentRange, {name, std::to_string(min), std::to_string(max)});
}

void RequireNumeric(std::span<const DataType> args, size_t index, std::string_view name) {
  TypeId id = args[index].id;
  if (IsNumeric(id) || IsString(id) || id == TypeId::Null) return;
  Throw(ErrorCode::kInvalidArgumentType, {TypeDisplayName(id), std::to_string(index + 1), name});
}

std::string_view TextOf(const Value& v, EvalContext& context) {
  if (IsString(v.type)) return v.s();
  DataType type = ImplicitStringType({v.type, v.precision, v.scale});
  return CastValue(v, type, context.arena).s();
}

int64_t IntegerOf(const Value& v, EvalContext& context) {
  if (v.type == TypeId::BigInt || v.type == TypeId::Int || v.type == TypeId::SmallInt ||
      v.type == TypeId::TinyInt || v.type == TypeId::Bit) {
    return v.i;
  }
  return CastValue(v, {TypeId::BigInt}, context.arena).i;
}

bool AnyNull(std::span<const Value> args) {
  for (const Value& v : args) {
    if (v.is_null) return true;
  }
  return false;
}

}  // namespace detail

const ScalarFunction* FindScalarFunction(std::string_view upper_name) {
  using Index = std::unordered_map<std::string_view, const ScalarFunction*>;
  static const Index index = [] {
    Index built;
    for (auto family : {detail::NullFunctions(), detail::StringFunctions(), detail::TextBuildFunctions(),
                        detail::MathFunctions(), detail::FloatFunctions(), detail::DateFunctions(), detail::DateBuildFunctions(),
                        detail::CharacterFunctions(), detail::FormatFunctions(),
                        detail::IsDateFunctions(),
                        detail::SoundexFunctions(),
                        detail::TranslateFunctions(),
                        detail::ParseNameFunctions(),
                        detail::TypeFunctions()}) {
      for (const ScalarFunction& f : family) built[f.name] = &f;
    }
    return built;
  }();
  auto it = index.find(upper_name);
  return it == index.end() ? nullptr : it->second;
}

}  // namespace orv::engine
