// Built-ins that build new text: REPLACE, STUFF, QUOTENAME, REPLICATE, SPACE,
// CONCAT, CONCAT_WS and STR.
// Results without (MAX) stop at 8000 bytes (4000 characters for nvarchar), as
// SQL Server cuts them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "engine/function/registry.h"
#include "engine/function/text_search.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

// varchar(8000), nvarchar(4000), or (MAX) when `max` is set.
DataType LongText(bool unicode, bool max) {
  TypeId id = unicode ? TypeId::NVarChar : TypeId::VarChar;
  if (max) return {id, 0, 0, DataType::kMaxLength};
  return {id, 0, 0, unicode ? kMaxNVarCharLength : kMaxVarCharLength};
}

Value Finish(std::string_view text, const DataType& result, EvalContext& context) {
  CheckBuiltText(text.size());
  return Value::String(result.id, FitText(context.arena.Copy(text), result, context.arena));
}

// ---------------------------------------------------------------- REPLACE

DataType ReplaceType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "replace", 3, 3);
  bool unicode = IsUnicode(args[0].id) || IsUnicode(args[1].id) || IsUnicode(args[2].id);
  return LongText(unicode, args[0].length == DataType::kMaxLength && IsString(args[0].id));
}

// Every match of the pattern is found under the collation, so 'A' replaces 'a' too.
Value ReplaceEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  std::string_view text = TextOf(args[0], context);
  std::string_view pattern = TextOf(args[1], context);
  std::string_view replacement = TextOf(args[2], context);
  if (pattern.empty()) return Finish(text, result, context);
  std::string out;
  out.reserve(text.size());
  if (IsAscii(text) && IsAscii(pattern)) {
    const AsciiFinder finder(pattern);
    size_t pos = 0;
    for (size_t found; (found = finder.Find(text, pos)) != std::string_view::npos; pos = found + pattern.size()) {
      out.append(text.substr(pos, found - pos));
      out += replacement;
      CheckBuiltText(out.size());
    }
    out.append(text.substr(pos));
    return Finish(out, result, context);
  }
  for (size_t pos = 0; pos < text.size();) {
    size_t matched = MatchAt(text, pos, pattern);
    if (matched > 0) {
      out += replacement;
      pos += matched;
    } else {
      size_t next = NextChar(text, pos);
      out.append(text.substr(pos, next - pos));
      pos = next;
    }
    CheckBuiltText(out.size());
  }
  return Finish(out, result, context);
}

// ---------------------------------------------------------------- STUFF

DataType StuffType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "stuff", 4, 4);
  bool unicode = IsUnicode(args[0].id) || IsUnicode(args[3].id);
  return LongText(unicode, args[0].length == DataType::kMaxLength && IsString(args[0].id));
}

// STUFF(text, start, length, insert): `length` characters from `start` give
// way to `insert` (a NULL one inserts nothing). A start outside the text or
// a negative length gives NULL; a length past the end deletes to the end.
Value StuffEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (args[0].is_null || args[1].is_null || args[2].is_null) return Value::Null(result.id);
  std::string_view text = TextOf(args[0], context);
  const int64_t start = IntegerOf(args[1], context);
  const int64_t length = IntegerOf(args[2], context);
  if (start < 1 || start > CountChars(text) || length < 0) return Value::Null(result.id);
  const size_t begin = CharOffset(text, start - 1);
  const size_t end = begin + CharOffset(text.substr(begin), length);
  std::string out(text.substr(0, begin));
  if (!args[3].is_null) out += TextOf(args[3], context);
  out.append(text.substr(end));
  return Finish(out, result, context);
}

// ---------------------------------------------------------------- QUOTENAME

DataType QuoteNameType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "quotename", 1, 2);
  return {TypeId::NVarChar, 0, 0, 258};
}

// QUOTENAME(name [, quote]): the name between the quote and its closing
// partner, that partner doubled inside. NULL for a name past 128 characters
// or a quote character it does not know.
Value QuoteNameEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  struct Quote {
    char given, open, close;
  };
  static constexpr Quote kQuotes[] = {{'[', '[', ']'}, {']', '[', ']'}, {'"', '"', '"'}, {'\'', '\'', '\''},
                                      {'(', '(', ')'}, {')', '(', ')'}, {'<', '<', '>'}, {'>', '<', '>'},
                                      {'{', '{', '}'}, {'}', '{', '}'}, {'`', '`', '`'}};
  std::string_view text = TextOf(args[0], context);
  std::string_view quote = args.size() == 2 ? TextOf(args[1], context) : std::string_view("[");
  const auto* found = std::find_if(std::begin(kQuotes), std::end(kQuotes),
                                   [&](const Quote& q) { return quote.size() == 1 && q.given == quote[0]; });
  if (found == std::end(kQuotes) || CountChars(text) > 128) return Value::Null(result.id);
  const char close = found->close;
  std::string out(1, found->open);
  for (char c : text) {
    out += c;
    if (c == close) out += c;
  }
  out += close;
  return Finish(out, result, context);
}

// ---------------------------------------------------------------- REPLICATE, SPACE

DataType ReplicateType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "replicate", 2, 2);
  return LongText(IsUnicode(args[0].id), args[0].length == DataType::kMaxLength && IsString(args[0].id));
}

// Stops one unit past `limit`: the caller refuses such a text anyway. The copy
// doubles, so a long result costs a few block copies, not one append per unit.
std::string Repeat(std::string_view unit, int64_t times, size_t limit) {
  if (unit.empty() || times <= 0) return {};
  const size_t units = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(times), limit / unit.size() + 1));
  const size_t size = units * unit.size();
  std::string out;
  out.reserve(size);
  out.append(unit);
  while (out.size() < size) out.append(out.data(), std::min(out.size(), size - out.size()));
  return out;
}

// The byte count past which a result cannot fit its type anyway.
size_t ByteLimit(const DataType& result) {
  return result.length <= 0 ? kMaxBuiltBytes + 1 : static_cast<size_t>(result.length) * 4;
}

Value ReplicateEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  int64_t times = IntegerOf(args[1], context);
  if (times < 0) return Value::Null(result.id);
  return Finish(Repeat(TextOf(args[0], context), times, ByteLimit(result)), result, context);
}

DataType SpaceType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "space", 1, 1);
  return LongText(false, false);
}

Value SpaceEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(result.id);
  int64_t count = IntegerOf(args[0], context);
  if (count < 0) return Value::Null(result.id);
  return Finish(std::string(static_cast<size_t>(std::min<int64_t>(count, result.length)), ' '), result, context);
}

// ---------------------------------------------------------------- CONCAT

// The text all of `args` make together, the first `separator_count` times
// over for CONCAT_WS's separators.
DataType JoinedType(std::span<const DataType> args, int64_t separator_count) {
  bool unicode = false;
  bool max = false;
  int64_t length = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    const DataType& arg = args[i];
    if (arg.id == TypeId::Null) continue;
    DataType text = ImplicitStringType(arg);
    unicode = unicode || IsUnicode(text.id);
    max = max || text.length == DataType::kMaxLength;
    length += text.length * (i == 0 ? std::max<int64_t>(1, separator_count) : 1);
  }
  if (max) return LongText(unicode, true);
  int cap = unicode ? kMaxNVarCharLength : kMaxVarCharLength;
  return {unicode ? TypeId::NVarChar : TypeId::VarChar, 0, 0,
          static_cast<int32_t>(std::clamp<int64_t>(length, 1, cap))};
}

DataType ConcatType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "concat", 2, 254);
  return JoinedType(args, 1);
}

// NULL arguments count as empty text.
Value ConcatEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  std::string out;
  for (const Value& v : args) {
    if (v.is_null) continue;
    std::string_view piece = TextOf(v, context);
    CheckBuiltText(out.size() + piece.size());
    out += piece;
  }
  return Finish(out, result, context);
}

// The first argument goes between the others that are not NULL.
DataType ConcatWsType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "concat_ws", 3, 254);
  return JoinedType(args, static_cast<int64_t>(args.size()) - 2);
}

Value ConcatWsEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  std::string_view separator = args[0].is_null ? std::string_view() : TextOf(args[0], context);
  std::string out;
  bool first = true;
  for (const Value& v : args.subspan(1)) {
    if (v.is_null) continue;
    if (!first) out += separator;
    out += TextOf(v, context);
    first = false;
  }
  return Finish(out, result, context);
}

// ---------------------------------------------------------------- STR

DataType StrType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "str", 1, 3);
  for (size_t i = 0; i < args.size(); ++i) RequireNumeric(args, i, "str");
  // The length is only known when the call runs; one argument means 10.
  return {TypeId::VarChar, 0, 0, args.size() == 1 ? 10 : kMaxVarCharLength};
}

// Right-aligned in `length` characters with up to `decimals` decimals (fewer
// when they do not fit); all '*' when even the whole number does not fit.
std::string FormatStr(double x, int64_t length, int64_t decimals) {
  for (int64_t d = std::min<int64_t>(decimals, 16); d >= 0; --d) {
    double scale = std::pow(10.0, static_cast<double>(d));
    double rounded = std::round(x * scale) / scale;  // half away from zero
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(d), rounded);
    std::string text = buffer;
    if (static_cast<int64_t>(text.size()) <= length) {
      return std::string(static_cast<size_t>(length) - text.size(), ' ') + text;
    }
  }
  return std::string(static_cast<size_t>(length), '*');
}

Value StrEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  double x = CastValue(args[0], {TypeId::Float}, context.arena).f;
  int64_t length = args.size() > 1 ? IntegerOf(args[1], context) : 10;
  int64_t decimals = args.size() > 2 ? IntegerOf(args[2], context) : 0;
  if (length < 1 || length > kMaxVarCharLength || decimals < 0) return Value::Null(result.id);
  return Finish(FormatStr(x, length, decimals), result, context);
}

constexpr std::array kFunctions = {
    ScalarFunction{"REPLACE", 3, 3, ReplaceType, ReplaceEval},
    ScalarFunction{"STUFF", 4, 4, StuffType, StuffEval},
    ScalarFunction{"QUOTENAME", 1, 2, QuoteNameType, QuoteNameEval},
    ScalarFunction{"REPLICATE", 2, 2, ReplicateType, ReplicateEval},
    ScalarFunction{"SPACE", 1, 1, SpaceType, SpaceEval},
    ScalarFunction{"CONCAT", 2, 254, ConcatType, ConcatEval},
    ScalarFunction{"CONCAT_WS", 3, 254, ConcatWsType, ConcatWsEval},
    ScalarFunction{"STR", 1, 3, StrType, StrEval},
};

}  // namespace

std::span<const ScalarFunction> TextBuildFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
