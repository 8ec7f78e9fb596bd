// The built-in scalar functions come in families, each file holding its
// rows and bodies; FindScalarFunction searches all of them. Also the argument
// checks every family's typing functions share.
#pragma once

#include <span>
#include <string_view>

#include "engine/function/scalar.h"

namespace orv::engine::detail {

std::span<const ScalarFunction> NullFunctions();
std::span<const ScalarFunction> StringFunctions();
std::span<const ScalarFunction> TextBuildFunctions();
std::span<const ScalarFunction> MathFunctions();
std::span<const ScalarFunction> FloatFunctions();
std::span<const ScalarFunction> DateFunctions();
std::span<const ScalarFunction> DateBuildFunctions();
std::span<const ScalarFunction> CharacterFunctions();
std::span<const ScalarFunction> FormatFunctions();
std::span<const ScalarFunction> IsDateFunctions();
std::span<const ScalarFunction> SoundexFunctions();
std::span<const ScalarFunction> TranslateFunctions();
std::span<const ScalarFunction> ParseNameFunctions();
std::span<const ScalarFunction> TypeFunctions();

// 174 ("The left function requires 2 argument(s).") or 189 ("... requires 2
// to 3 arguments.") unless `args` has between `min` and `max` entries.
// `name` is the function's name in lower case, as SQL Server prints it.
void CheckArity(std::span<const DataType> args, std::string_view name, int min, int max);

// A function's name as a template argument, so one typing function can serve
// several rows: IntResult<"len", 1, 1>.
template <size_t N>
struct FunctionName {
  constexpr FunctionName(const char (&s)[N]) {
    for (size_t i = 0; i < N; ++i) text[i] = s[i];
  }
  constexpr std::string_view view() const { return {text, N - 1}; }
  char text[N];
};

// The typing of a function returning int whatever its arguments.
template <FunctionName kName, int kMin, int kMax>
DataType IntResult(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), kMin, kMax);
  return {TypeId::Int};
}

// 8116 ("Argument data type datetime is invalid for argument 1 of round
// function.") when argument `index` (0-based) is not a number or text.
void RequireNumeric(std::span<const DataType> args, size_t index, std::string_view name);

// The text of a value for a string function: strings as they are, anything
// else converted as CAST to varchar would.
std::string_view TextOf(const Value& v, EvalContext& context);

// A non-NULL integer argument (lengths, positions, counts) as a 64-bit number.
int64_t IntegerOf(const Value& v, EvalContext& context);

// True when any of `args` is NULL: most built-ins then return NULL.
bool AnyNull(std::span<const Value> args);

}  // namespace orv::engine::detail
