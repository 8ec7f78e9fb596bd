// Numeric built-ins: ROUND, ABS, CEILING, FLOOR, SIGN, POWER and SQRT, typed
// as SQL Server types them (ROUND keeps decimal(p,s), so 999.9 rounded to 0
// decimals overflows; CEILING of decimal(p,s) is decimal(p,0)).
#include <array>
#include <cmath>

#include "engine/common/decimal.h"
#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

// The type a math function computes in: text converts to float; bit and
// datetime are refused (8116).
DataType MathOperand(std::span<const DataType> args, size_t index, std::string_view name) {
  RequireNumeric(args, index, name);
  TypeId id = args[index].id;
  if (id == TypeId::Bit) {
    Throw(ErrorCode::kInvalidArgumentType, {"bit", std::to_string(index + 1), name});
  }
  if (IsString(id)) return {TypeId::Float};
  if (id == TypeId::Null) return {TypeId::Int};
  return args[index];
}

// tinyint and smallint results widen to int.
DataType WidenSmallIntegers(const DataType& type) {
  if (type.id == TypeId::TinyInt || type.id == TypeId::SmallInt) return {TypeId::Int};
  return type;
}

// `v` with its last `k` digits rounded away (half away from zero) or cut.
Int128 DropDigits(Int128 v, int64_t k, bool truncate) {
  if (k <= 0) return v;
  if (k > decimal::kMaxPrecision) return 0;
  Int128 m = decimal::Pow10(static_cast<int>(k));
  Int128 r = v % m;
  Int128 base = v - r;
  Int128 twice = r < 0 ? -2 * r : 2 * r;
  if (!truncate && twice >= m) base += v < 0 ? -m : m;
  return base;
}

// A decimal, money or integer result checked against its type.
Value ExactResult(Int128 unscaled, const DataType& result) {
  bool fits = result.id == TypeId::Decimal ? decimal::Fits(unscaled, result.precision)
                                           : IntegerFits(result.id == TypeId::Money ? TypeId::BigInt : result.id, unscaled);
  if (!fits) ThrowExpressionOverflow(result.id);
  if (result.id == TypeId::Decimal || result.id == TypeId::Money) {
    return Value::Decimal(unscaled, result.precision, result.scale, result.id);
  }
  return Value::Integer(result.id, static_cast<int64_t>(unscaled));
}

// The argument as an unscaled number at the result's scale (0 for integers).
Int128 ExactOperand(const Value& v, const DataType& result, EvalContext& context) {
  DataType as = result.id == TypeId::Decimal ? DataType{TypeId::Decimal, decimal::kMaxPrecision, result.scale} : result;
  Value converted = CastValue(v, as, context.arena);
  return IsInteger(converted.type) ? converted.i : converted.dec;
}

double CheckedFloat(double x) {
  if (std::isnan(x)) Throw(ErrorCode::kInvalidFloatOperation);
  if (std::isinf(x)) ThrowExpressionOverflow(TypeId::Float);
  return x;
}

// ---------------------------------------------------------------- ROUND

DataType RoundType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "round", 2, 3);
  for (size_t i = 1; i < args.size(); ++i) RequireNumeric(args, i, "round");
  return WidenSmallIntegers(MathOperand(args, 0, "round"));
}

Value RoundEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  int64_t places = IntegerOf(args[1], context);
  bool truncate = args.size() == 3 && IntegerOf(args[2], context) != 0;
  if (result.id == TypeId::Float) {
    double x = CastValue(args[0], result, context.arena).f;
    double m = std::pow(10.0, static_cast<double>(places));
    if (!std::isfinite(x * m) || m == 0) return Value::Double(m == 0 ? 0.0 : x);
    return Value::Double((truncate ? std::trunc(x * m) : std::round(x * m)) / m);
  }
  Int128 v = ExactOperand(args[0], result, context);
  return ExactResult(DropDigits(v, static_cast<int64_t>(result.scale) - places, truncate), result);
}

// ---------------------------------------------------------------- ABS, SIGN

DataType AbsType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "abs", 1, 1);
  return MathOperand(args, 0, "abs");
}

Value AbsEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(result.id);
  if (result.id == TypeId::Float) return Value::Double(std::fabs(CastValue(args[0], result, context.arena).f));
  Int128 v = ExactOperand(args[0], result, context);
  return ExactResult(v < 0 ? -v : v, result);
}

DataType SignType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "sign", 1, 1);
  DataType type = WidenSmallIntegers(MathOperand(args, 0, "sign"));
  if (type.id == TypeId::Decimal && type.precision == type.scale) type.precision = std::min(38, type.precision + 1);
  return type;
}

Value SignEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(result.id);
  if (result.id == TypeId::Float) {
    double x = CastValue(args[0], result, context.arena).f;
    return Value::Double(x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0));
  }
  Int128 v = ExactOperand(args[0], result, context);
  int sign = v > 0 ? 1 : (v < 0 ? -1 : 0);
  return ExactResult(sign * decimal::Pow10(result.scale), result);
}

// ---------------------------------------------------------------- CEILING, FLOOR

// The typing of CEILING and FLOOR: a decimal loses its scale.
template <FunctionName kName>
DataType WholeType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, kName.view(), 1, 1);
  DataType type = MathOperand(args, 0, kName.view());
  if (type.id == TypeId::Decimal) type.scale = 0;
  return type;
}

Value RoundToWhole(const Value& arg, const DataType& result, EvalContext& context, bool up) {
  if (arg.is_null) return Value::Null(result.id);
  if (result.id == TypeId::Float) {
    double x = CastValue(arg, result, context.arena).f;
    return Value::Double(up ? std::ceil(x) : std::floor(x));
  }
  if (IsInteger(result.id)) return CastValue(arg, result, context.arena);
  // Decimal or money: work on the argument's own digits.
  Value v = IsInteger(arg.type) ? Value::Decimal(arg.i, 19, 0) : arg;
  Int128 unit = decimal::Pow10(v.scale);
  Int128 whole = v.dec / unit;  // toward zero
  Int128 rest = v.dec - whole * unit;
  if (up && rest > 0) ++whole;
  if (!up && rest < 0) --whole;
  return ExactResult(whole * decimal::Pow10(result.scale), result);
}

Value CeilingEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  return RoundToWhole(args[0], result, context, true);
}

Value FloorEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  return RoundToWhole(args[0], result, context, false);
}

// ---------------------------------------------------------------- POWER, SQRT

DataType PowerType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "power", 2, 2);
  RequireNumeric(args, 1, "power");
  DataType type = WidenSmallIntegers(MathOperand(args, 0, "power"));
  if (type.id == TypeId::Decimal) type.precision = decimal::kMaxPrecision;
  return type;
}

Value PowerEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  const DataType float_type{TypeId::Float};
  double base = CastValue(args[0], float_type, context.arena).f;
  double exponent = CastValue(args[1], float_type, context.arena).f;
  if (IsInteger(result.id) && IsInteger(args[1].type) && args[1].i >= 0) {
    // Exact for whole powers, so overflow is found rather than rounded away.
    Int128 x = CastValue(args[0], result, context.arena).i;
    int64_t times = args[1].i;
    Int128 r = 1;
    if (x == 0 || x == 1 || x == -1) {
      if (x == -1) r = times % 2 == 1 ? -1 : 1;
      else r = times == 0 ? 1 : x;
    } else {
      // |x| >= 2 leaves the range within 64 steps.
      for (int64_t i = 0; i < times; ++i) {
        r *= x;
        if (!IntegerFits(result.id, r)) ThrowExpressionOverflow(result.id);
      }
    }
    return Value::Integer(result.id, static_cast<int64_t>(r));
  }
  double power = CheckedFloat(std::pow(base, exponent));
  return CastValue(Value::Double(power), result, context.arena);
}

DataType SqrtType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "sqrt", 1, 1);
  MathOperand(args, 0, "sqrt");
  return {TypeId::Float};
}

Value SqrtEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (args[0].is_null) return Value::Null(result.id);
  double x = CastValue(args[0], result, context.arena).f;
  if (x < 0) Throw(ErrorCode::kInvalidFloatOperation);
  return Value::Double(std::sqrt(x));
}

constexpr std::array kFunctions = {
    ScalarFunction{"ROUND", 2, 3, RoundType, RoundEval},
    ScalarFunction{"ABS", 1, 1, AbsType, AbsEval},
    ScalarFunction{"SIGN", 1, 1, SignType, SignEval},
    ScalarFunction{"CEILING", 1, 1, WholeType<"ceiling">, CeilingEval},
    ScalarFunction{"FLOOR", 1, 1, WholeType<"floor">, FloorEval},
    ScalarFunction{"POWER", 2, 2, PowerType, PowerEval},
    ScalarFunction{"SQRT", 1, 1, SqrtType, SqrtEval},
};

}  // namespace

std::span<const ScalarFunction> MathFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
