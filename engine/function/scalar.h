// The typed value operations the binder and the executor build on: implicit
// and explicit conversion, the type of an operator's result, arithmetic,
// comparison, built-in scalar functions and aggregates, all with SQL Server's
// rules. Every failure is a SqlError with SQL Server's number.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "engine/common/string_arena.h"
#include "engine/common/types.h"
#include "engine/common/value.h"

namespace orv::engine {

// ------------------------------------------------------------------ types

// The DataType for a type written in SQL (INT, DECIMAL(28,10), NVARCHAR(255),
// VARCHAR(MAX) ...). Unknown names raise 2715; DECIMAL without arguments is
// (18,0); VARCHAR without length is 1 in a declaration (30 in CAST: pass
// in_cast). `column_number` is used in the 2715 message.
DataType ResolveTypeName(const TypeName& name, bool in_cast = false, int column_number = 1);

// The type of a literal as SQL Server types it: 12 int, 3000000000
// numeric(10,0), 1.50 numeric(3,2), 1e5 float, 'ab' varchar(2), N'ab'
// nvarchar(2), NULL the untyped Null. `text` as LiteralKind describes it.
DataType LiteralType(LiteralKind kind, std::string_view text);
Value LiteralValue(LiteralKind kind, std::string_view text, const DataType& type, StringArena& arena);

// The type both sides convert to for comparison, CASE, COALESCE, IN and
// UNION: the operand with the higher precedence wins; two decimals combine
// to hold both; two strings keep the longer length, unicode if either is.
DataType CommonType(const DataType& a, const DataType& b);

// "int", "nvarchar", "numeric", "varchar", "datetime" ... as SQL Server names a
// type in its messages.
std::string_view TypeDisplayName(TypeId id);
// "decimal(28,10)", "nvarchar(255)" ... for result-set metadata and messages.
std::string TypeToString(const DataType& type);

// ------------------------------------------------------------------ conversion

// CAST/CONVERT of `value` to `target`, SQL Server's rules: text to number (245
// for int targets with the text in the message, 244/248 when it overflows,
// 8114 for decimal/float, 235 for money), number to narrower number (8115;
// 220 for tinyint/smallint from int types, 232 from float), text to datetime
// (241; 242 for a well-formed date out of range), datetime to text with `style` (-1 = default), number to text,
// decimal to int truncates, money to int and float to decimal round, string
// to a shorter string truncates silently (CAST) — INSERT checks length itself.
// A NULL converts to a NULL of `target`.
Value CastValue(const Value& value, const DataType& target, StringArena& arena, int style = -1);

// TRY_CAST / TRY_CONVERT: CastValue, but a value that fails to convert
// (bad text, out of range, overflow) gives NULL; other errors still raise.
Value TryCastValue(const Value& value, const DataType& target, StringArena& arena, int style = -1);

// False for the pairs no CAST converts, whatever the value (int and date,
// date and time ...); CheckExplicitConversion raises 529 for them.
bool ConversionAllowed(const DataType& from, const DataType& to);
void CheckExplicitConversion(const DataType& from, const DataType& to);

// The length of `text` as a column of `type` measures it: characters for
// NCHAR/NVARCHAR, bytes of the database's Chinese code page for CHAR/VARCHAR
// (one per ASCII character, two per other character). INSERT compares it
// with the column's length (8152).
int64_t TextLength(TypeId type, std::string_view text);

// ------------------------------------------------------------------ operators

// Operators on two values; Add on two strings concatenates them.
enum class ArithmeticOp { Add, Subtract, Multiply, Divide, Modulo, BitAnd, BitOr, BitXor };
// Operators on one value: minus, plus, bitwise not.
enum class PrefixOp { Negate, Plus, BitNot };

// The result type of `left op right` for + - * / % & | ^ (Add on two strings
// is concatenation: varchar(l1+l2) capped at 8000 / nvarchar 4000); raises
// 402 for incompatible operands (two strings in - * / %, a decimal in & | ^)
// and 8117 for an operand type the operator refuses (datetime * int, bit +
// bit, float % int). Comparison and logical operators are not handled here.
DataType BinaryResultType(ArithmeticOp op, const DataType& left, const DataType& right);

// Evaluates an arithmetic or concatenation operator; operands may have any
// types, they are converted to what `result` needs. NULL in, NULL out. Raises
// 8134 on division by zero, 8115 on overflow of `result`.
Value EvalBinary(ArithmeticOp op, const Value& left, const Value& right, const DataType& result,
                 StringArena& arena);

// Unary minus / plus / bitwise not.
DataType UnaryResultType(PrefixOp op, const DataType& operand);
Value EvalUnary(PrefixOp op, const Value& operand, const DataType& result);

// Compares two non-NULL values of the same comparison type (both already
// converted to CommonType): numbers by value, strings by the database
// collation (trailing blanks ignored), datetimes by ticks. -1, 0, 1.
int CompareValues(const Value& a, const Value& b);
// A hash consistent with CompareValues == 0 (for hash joins and grouping).
uint64_t HashValue(const Value& v);
// The bit mixer HashValue is built on.
uint64_t MixBits(uint64_t x);

// ------------------------------------------------------------------ functions

struct EvalContext {
  StringArena& arena;
};

// A built-in scalar function. `result_type` checks the argument count and
// types (raising 174/8116/...) and returns the result type; `eval` computes
// one result from argument values of the types given to result_type.
struct ScalarFunction {
  std::string_view name;  // upper case
  int min_args;
  int max_args;
  DataType (*result_type)(std::span<const DataType> args, std::string_view datepart);
  Value (*eval)(std::span<const Value> args, const DataType& result, std::string_view datepart,
                EvalContext& context);
};

// nullptr when `upper_name` is not a scalar built-in here (aggregates,
// GROUPING and OBJECT_ID are the binder's).
const ScalarFunction* FindScalarFunction(std::string_view upper_name);

// ------------------------------------------------------------------ aggregates

enum class AggregateKind { Sum, Count, CountStar, Min, Max, Avg, StringAgg, StDev, StDevP, Var, VarP };

// nullopt-like: returns false when `upper_name` is not an aggregate.
bool LookupAggregate(std::string_view upper_name, AggregateKind& kind);

// SUM(int) int, SUM(bigint) bigint, SUM(decimal(p,s)) decimal(38,s),
// SUM(money) money, SUM(float) float; AVG likewise with decimal(38,max(s,6));
// COUNT int; MIN/MAX the argument's type; STDEV/STDEVP/VAR/VARP float. 8117
// for a string argument of SUM/AVG and the spread aggregates.
DataType AggregateResultType(AggregateKind kind, const DataType& argument);

// Running state of one aggregate over one group. Init/Accumulate/Finish are
// called with values of the argument type; NULLs are skipped (COUNT(*)
// counts rows). Overflow of an int SUM raises 8115 ("... converting
// expression to data type int.").
// One aggregate uses one of the running values, so they share a Value: a
// million groups of a few aggregates each stay small.
struct AggregateState {
  bool has_value = false;
  int64_t count = 0;  // STRING_AGG: the bytes its text has room for
  Value running;  // .dec: exact sums (integers, decimals, money) at the argument's scale;
                  // .f: float sums; the Value itself: MIN / MAX and STRING_AGG's text
                  // (strings in the caller's arena)
};
// `separator` goes between the values of a STRING_AGG, which reads them in
// the order they come; its subtotals cannot be merged from other states.
void Accumulate(AggregateKind kind, AggregateState& state, const Value& argument, const DataType& argument_type,
                StringArena& arena, std::string_view separator = {});
// The aggregate's result, written into `out`.
void FinishAggregate(AggregateKind kind, const AggregateState& state, const DataType& argument_type,
                     const DataType& result_type, Value& out);
// Adds the rows one state has seen to another (not for DISTINCT aggregates):
// subtotals are made from the states of the groups they cover.
void MergeAggregate(AggregateKind kind, AggregateState& into, const AggregateState& from,
                    const DataType& argument_type);

}  // namespace orv::engine
