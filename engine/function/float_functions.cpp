// Float built-ins: PI, EXP, LOG, LOG10, SQUARE, the trigonometric functions
// and their inverses, ATN2, DEGREES, RADIANS and RAND. They compute in float;
// an argument outside a function's domain (LOG(0), ASIN(2)) raises 3623.
// DEGREES and RADIANS keep the argument's kind of type as SQL Server does
// (decimal(p,s) gives decimal(38,s), the small integers int, bit float).
#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "engine/common/decimal.h"
#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

const DataType kFloat{TypeId::Float};

double FloatOf(const Value& v, EvalContext& context) { return CastValue(v, kFloat, context.arena).f; }

// A result too small for a normal float is 0 (RADIANS(1e-307) is 0.0).
double FlushTiny(double x) { return std::fpclassify(x) == FP_SUBNORMAL ? 0.0 : x; }

// A result outside the reals (a domain error, or infinity) is an invalid operation.
Value FloatResult(double x) {
  if (!std::isfinite(x)) Throw(ErrorCode::kInvalidFloatOperation);
  return Value::Double(FlushTiny(x));
}

template <FunctionName kName, int kMin, int kMax>
DataType FloatType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), kMin, kMax);
  for (size_t i = 0; i < args.size(); ++i) RequireNumeric(args, i, kName.view());
  return kFloat;
}

// ---------------------------------------------------------------- one float argument

template <double (*kFunction)(double)>
Value UnaryEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  return FloatResult(kFunction(FloatOf(args[0], context)));
}

double Exp(double x) { return std::exp(x); }
double Log10(double x) { return x <= 0 ? NAN : std::log10(x); }
double Square(double x) { return x * x; }
double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Cot(double x) { return x == 0 ? NAN : 1.0 / std::tan(x); }
double Asin(double x) { return std::asin(x); }
double Acos(double x) { return std::acos(x); }
double Atan(double x) { return std::atan(x); }

// ---------------------------------------------------------------- PI, LOG, ATN2, RAND

Value PiEval(std::span<const Value>, const DataType&, std::string_view, EvalContext&) {
  return Value::Double(std::numbers::pi);
}

// LOG(x) is the natural logarithm; LOG(x, base) any other.
Value LogEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  const double x = FloatOf(args[0], context);
  if (x <= 0) Throw(ErrorCode::kInvalidFloatOperation);
  if (args.size() == 1) return FloatResult(std::log(x));
  const double base = FloatOf(args[1], context);
  if (base <= 0 || base == 1) Throw(ErrorCode::kInvalidFloatOperation);
  return FloatResult(std::log(x) / std::log(base));
}

Value Atn2Eval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  return FloatResult(std::atan2(FloatOf(args[0], context), FloatOf(args[1], context)));
}

// RAND(seed) starts the connection's sequence again from `seed`; RAND() takes
// its next value, in [0, 1).
Value RandEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  if (!args.empty()) {
    if (args[0].is_null) return Value::Null(result.id);
    generator.seed(static_cast<uint64_t>(IntegerOf(args[0], context)));
  }
  return Value::Double(std::uniform_real_distribution<double>(0.0, 1.0)(generator));
}

// ---------------------------------------------------------------- DEGREES, RADIANS

template <FunctionName kName>
DataType AngleType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), 1, 1);
  RequireNumeric(args, 0, kName.view());
  switch (args[0].id) {
    case TypeId::TinyInt:
    case TypeId::SmallInt:
    case TypeId::Int:
    case TypeId::Null:
      return {TypeId::Int};
    case TypeId::BigInt:
    case TypeId::Money:
      return args[0];
    case TypeId::Decimal:
      return {TypeId::Decimal, decimal::kMaxPrecision, args[0].scale};
    default:
      return kFloat;
  }
}

// DEGREES (true) or RADIANS (false); a flag, as not every compiler takes a
// double as a template argument.
template <bool kToDegrees>
Value AngleEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  constexpr double kFactor = kToDegrees ? 180.0 / std::numbers::pi : std::numbers::pi / 180.0;
  if (AnyNull(args)) return Value::Null(result.id);
  const double x = FloatOf(args[0], context) * kFactor;
  if (!std::isfinite(x)) ThrowExpressionOverflow(result.id);
  return CastValue(Value::Double(FlushTiny(x)), result, context.arena);
}

constexpr std::array kFunctions = {
    ScalarFunction{"PI", 0, 0, FloatType<"pi", 0, 0>, PiEval},
    ScalarFunction{"EXP", 1, 1, FloatType<"exp", 1, 1>, UnaryEval<Exp>},
    ScalarFunction{"LOG", 1, 2, FloatType<"log", 1, 2>, LogEval},
    ScalarFunction{"LOG10", 1, 1, FloatType<"log10", 1, 1>, UnaryEval<Log10>},
    ScalarFunction{"SQUARE", 1, 1, FloatType<"square", 1, 1>, UnaryEval<Square>},
    ScalarFunction{"SIN", 1, 1, FloatType<"sin", 1, 1>, UnaryEval<Sin>},
    ScalarFunction{"COS", 1, 1, FloatType<"cos", 1, 1>, UnaryEval<Cos>},
    ScalarFunction{"TAN", 1, 1, FloatType<"tan", 1, 1>, UnaryEval<Tan>},
    ScalarFunction{"COT", 1, 1, FloatType<"cot", 1, 1>, UnaryEval<Cot>},
    ScalarFunction{"ASIN", 1, 1, FloatType<"asin", 1, 1>, UnaryEval<Asin>},
    ScalarFunction{"ACOS", 1, 1, FloatType<"acos", 1, 1>, UnaryEval<Acos>},
    ScalarFunction{"ATAN", 1, 1, FloatType<"atan", 1, 1>, UnaryEval<Atan>},
    ScalarFunction{"ATN2", 2, 2, FloatType<"atn2", 2, 2>, Atn2Eval},
    ScalarFunction{"RAND", 0, 1, FloatType<"rand", 0, 1>, RandEval},
    ScalarFunction{"DEGREES", 1, 1, AngleType<"degrees">, AngleEval<true>},
    ScalarFunction{"RADIANS", 1, 1, AngleType<"radians">, AngleEval<false>},
};

}  // namespace

std::span<const ScalarFunction> FloatFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
