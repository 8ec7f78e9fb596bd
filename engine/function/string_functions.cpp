// Built-ins that look into one string: CHARINDEX, PATINDEX, SUBSTRING, LEFT, RIGHT, LEN,
// DATALENGTH, LTRIM, RTRIM, TRIM, UPPER, LOWER, REVERSE and ISNUMERIC.
// Positions and lengths count characters, so Chinese text is cut whole.
#include <array>
#include <string>

#include "engine/common/collation.h"
#include "engine/function/registry.h"
#include "engine/function/text_number.h"
#include "engine/function/text_search.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

// The string type a function returning part of its argument has: CHAR
// becomes VARCHAR (no padding is added back), NCHAR NVARCHAR.
DataType VariableOf(const DataType& arg) {
  DataType type = ImplicitStringType(arg.id == TypeId::Null ? DataType{TypeId::VarChar, 0, 0, 1} : arg);
  if (type.id == TypeId::Char) type.id = TypeId::VarChar;
  if (type.id == TypeId::NChar) type.id = TypeId::NVarChar;
  return type;
}

// The typing of a function returning part of its first argument's text.
template <FunctionName kName, int kArgs>
DataType TextPartType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), kArgs, kArgs);
  return VariableOf(args[0]);
}

// The typing of UPPER and LOWER: the argument's own type, CHAR included.
template <FunctionName kName>
DataType SameTextType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), 1, 1);
  return ImplicitStringType(args[0].id == TypeId::Null ? DataType{TypeId::VarChar, 0, 0, 1} : args[0]);
}

// Part of an argument's text: a view of the argument itself, no copy.
Value Slice(std::string_view text, size_t begin, size_t end, const DataType& result) {
  return Value::String(result.id, text.substr(begin, end - begin));
}

// ---------------------------------------------------------------- CHARINDEX

Value CharIndexEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(TypeId::Int);
  int64_t start = args.size() == 3 ? IntegerOf(args[2], context) : 1;
  return Value::Integer(TypeId::Int, FindText(TextOf(args[1], context), TextOf(args[0], context), start));
}

// PATINDEX('%pattern%', text): where a LIKE pattern first matches, in characters.
Value PatIndexEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(TypeId::Int);
  const std::string_view text = TextOf(args[1], context);
  const size_t start = collation::LikePattern(TextOf(args[0], context)).FindStart(text);
  return Value::Integer(TypeId::Int, start == std::string_view::npos ? 0 : CountChars(text.substr(0, start)) + 1);
}

// ---------------------------------------------------------------- SUBSTRING, LEFT, RIGHT

Value SubstringEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  int64_t start = IntegerOf(args[1], context);
  int64_t length = IntegerOf(args[2], context);
  if (length < 0) Throw(ErrorCode::kInvalidLengthLeftOrSubstring);
  // Characters start .. start+length-1, clipped to the string: a start
  // before 1 still uses up part of the length.
  Int128 end = static_cast<Int128>(start) + length;  // exclusive, 1-based
  int64_t first = std::max<int64_t>(start, 1);
  std::string_view text = TextOf(args[0], context);
  if (end <= first) return Value::String(result.id, {});
  size_t begin = CharOffset(text, first - 1);
  int64_t count = static_cast<int64_t>(std::min<Int128>(end - first, static_cast<Int128>(text.size())));
  size_t stop = begin + CharOffset(text.substr(begin), count);
  return Slice(text, begin, stop, result);
}

Value LeftEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  int64_t count = IntegerOf(args[1], context);
  if (count < 0) Throw(ErrorCode::kInvalidLengthParameter, {"left"});
  std::string_view text = TextOf(args[0], context);
  return Slice(text, 0, CharOffset(text, count), result);
}

Value RightEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  int64_t count = IntegerOf(args[1], context);
  if (count < 0) Throw(ErrorCode::kInvalidLengthParameter, {"right"});
  std::string_view text = TextOf(args[0], context);
  int64_t total = CountChars(text);
  size_t begin = count >= total ? 0 : CharOffset(text, total - count);
  return Slice(text, begin, text.size(), result);
}

// ---------------------------------------------------------------- LEN, DATALENGTH

Value LenEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(TypeId::Int);
  std::string_view text = TextOf(args[0], context);
  size_t end = text.find_last_not_of(' ');
  return Value::Integer(TypeId::Int, end == std::string_view::npos ? 0 : CountChars(text.substr(0, end + 1)));
}

int64_t StorageBytes(const Value& v) {
  switch (v.type) {
    case TypeId::Char:
    case TypeId::VarChar:
      return TextLength(v.type, v.s());
    case TypeId::NChar:
    case TypeId::NVarChar: {
      // UTF-16: two bytes a character, four for those beyond the basic plane.
      int64_t bytes = 0;
      for (unsigned char c : v.s()) {
        if ((c & 0xC0) != 0x80) bytes += c >= 0xF0 ? 4 : 2;
      }
      return bytes;
    }
    case TypeId::Bit:
    case TypeId::TinyInt:
      return 1;
    case TypeId::SmallInt:
      return 2;
    case TypeId::Int:
      return 4;
    case TypeId::Decimal:
      return v.precision <= 9 ? 5 : v.precision <= 19 ? 9 : v.precision <= 28 ? 13 : 17;
    default:
      return 8;  // bigint, money, float, datetime
  }
}

Value DataLengthEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext&) {
  if (args[0].is_null) return Value::Null(TypeId::Int);
  return Value::Integer(TypeId::Int, StorageBytes(args[0]));
}

// ---------------------------------------------------------------- LTRIM, RTRIM, TRIM

// Only the blank (space) is trimmed, as SQL Server's LTRIM and RTRIM do.
Value TrimEdges(std::span<const Value> args, const DataType& result, EvalContext& context, bool left, bool right) {
  if (args[0].is_null) return Value::Null(result.id);
  std::string_view text = TextOf(args[0], context);
  size_t begin = left ? text.find_first_not_of(' ') : 0;
  if (begin == std::string_view::npos) return Value::String(result.id, {});
  size_t end = right ? text.find_last_not_of(' ') + 1 : text.size();
  return Slice(text, begin, end, result);
}

Value LTrimEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  return TrimEdges(args, result, context, true, false);
}

Value RTrimEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  return TrimEdges(args, result, context, false, true);
}

Value TrimEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  return TrimEdges(args, result, context, true, true);
}

// ---------------------------------------------------------------- UPPER, LOWER, REVERSE

Value ChangeCase(const Value& arg, const DataType& result, EvalContext& context, bool upper) {
  if (arg.is_null) return Value::Null(result.id);
  std::string_view text = TextOf(arg, context);
  if (IsAscii(text)) {
    char* p = context.arena.Allocate(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      p[i] = c;
    }
    return Value::String(result.id, {p, text.size()});
  }
  return MakeText(result.id, upper ? collation::Upper(text) : collation::Lower(text), context.arena);
}

Value UpperEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  return ChangeCase(args[0], result, context, true);
}

Value LowerEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  return ChangeCase(args[0], result, context, false);
}

Value ReverseEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(result.id);
  std::string_view text = TextOf(args[0], context);
  char* p = context.arena.Allocate(text.size());
  size_t out = text.size();
  for (size_t pos = 0; pos < text.size();) {
    size_t next = NextChar(text, pos);
    out -= next - pos;
    std::copy(text.begin() + pos, text.begin() + next, p + out);
    pos = next;
  }
  return Value::String(result.id, {p, text.size()});
}

// ---------------------------------------------------------------- ISNUMERIC

Value IsNumericEval(std::span<const Value> args, const DataType&, std::string_view, EvalContext&) {
  const Value& v = args[0];
  bool numeric = !v.is_null && (IsString(v.type) ? LooksNumeric(v.s()) : IsNumeric(v.type));
  return Value::Integer(TypeId::Int, numeric ? 1 : 0);
}

constexpr std::array kFunctions = {
    ScalarFunction{"CHARINDEX", 2, 3, IntResult<"charindex", 2, 3>, CharIndexEval},
    ScalarFunction{"PATINDEX", 2, 2, IntResult<"patindex", 2, 2>, PatIndexEval},
    ScalarFunction{"SUBSTRING", 3, 3, TextPartType<"substring", 3>, SubstringEval},
    ScalarFunction{"LEFT", 2, 2, TextPartType<"left", 2>, LeftEval},
    ScalarFunction{"RIGHT", 2, 2, TextPartType<"right", 2>, RightEval},
    ScalarFunction{"LEN", 1, 1, IntResult<"len", 1, 1>, LenEval},
    ScalarFunction{"DATALENGTH", 1, 1, IntResult<"datalength", 1, 1>, DataLengthEval},
    ScalarFunction{"LTRIM", 1, 1, TextPartType<"ltrim", 1>, LTrimEval},
    ScalarFunction{"RTRIM", 1, 1, TextPartType<"rtrim", 1>, RTrimEval},
    ScalarFunction{"TRIM", 1, 1, TextPartType<"trim", 1>, TrimEval},
    ScalarFunction{"UPPER", 1, 1, SameTextType<"upper">, UpperEval},
    ScalarFunction{"LOWER", 1, 1, SameTextType<"lower">, LowerEval},
    ScalarFunction{"REVERSE", 1, 1, TextPartType<"reverse", 1>, ReverseEval},
    ScalarFunction{"ISNUMERIC", 1, 1, IntResult<"isnumeric", 1, 1>, IsNumericEval},
};

}  // namespace

std::span<const ScalarFunction> StringFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
