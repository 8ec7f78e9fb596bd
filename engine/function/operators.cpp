// The arithmetic, concatenation and bitwise operators: the type of a result by
// data type precedence and the decimal rules, and its value with SQL Server's
// overflow (8115), division by zero (8134) and datetime range (517) errors.
#include <cmath>
#include <string>

#include "engine/common/decimal.h"
#include "engine/function/scalar.h"
#include "engine/function/value_util.h"

namespace orv::engine {
namespace {

using detail::kMaxNVarCharLength;
using detail::kMaxTicks;
using detail::kMaxVarCharLength;
using detail::kMinTicks;

std::string_view OperatorName(ArithmeticOp op) {
  switch (op) {
    case ArithmeticOp::Add:
      return "add";
    case ArithmeticOp::Subtract:
      return "subtract";
    case ArithmeticOp::Multiply:
      return "multiply";
    case ArithmeticOp::Divide:
      return "divide";
    case ArithmeticOp::Modulo:
      return "modulo";
    case ArithmeticOp::BitAnd:
      return "'&'";
    case ArithmeticOp::BitOr:
      return "'|'";
    case ArithmeticOp::BitXor:
      return "'^'";
  }
  return "?";
}

bool IsBitwise(ArithmeticOp op) {
  return op == ArithmeticOp::BitAnd || op == ArithmeticOp::BitOr || op == ArithmeticOp::BitXor;
}

[[noreturn]] void ThrowIncompatible(ArithmeticOp op, const DataType& left, const DataType& right) {
  Throw(ErrorCode::kInvalidDataTypeForOperator,
        {TypeDisplayName(left.id), TypeDisplayName(right.id), OperatorName(op)});
}

[[noreturn]] void ThrowInvalidOperand(TypeId id, std::string_view op_name) {
  Throw(ErrorCode::kInvalidOperandType, {TypeDisplayName(id), op_name});
}

DataType ConcatType(const DataType& left, const DataType& right) {
  bool unicode = IsUnicode(left.id) || IsUnicode(right.id);
  TypeId id = unicode ? TypeId::NVarChar : TypeId::VarChar;
  if (left.length == DataType::kMaxLength || right.length == DataType::kMaxLength) {
    return {id, 0, 0, DataType::kMaxLength};
  }
  int cap = unicode ? kMaxNVarCharLength : kMaxVarCharLength;
  return {id, 0, 0, std::min(cap, left.length + right.length)};
}

DataType NumericResultType(ArithmeticOp op, const DataType& left, const DataType& right) {
  TypeId id = std::max(left.id, right.id);
  if (id == TypeId::Float) {
    if (op == ArithmeticOp::Modulo) ThrowInvalidOperand(TypeId::Float, OperatorName(op));
    return {TypeId::Float};
  }
  if (id == TypeId::Decimal) {
    DataType a = detail::AsDecimalType(left);
    DataType b = detail::AsDecimalType(right);
    decimal::Type ta{a.precision, a.scale};
    decimal::Type tb{b.precision, b.scale};
    decimal::Type r{};
    switch (op) {
      case ArithmeticOp::Multiply:
        r = decimal::MultiplyType(ta, tb);
        break;
      case ArithmeticOp::Divide:
        r = decimal::DivideType(ta, tb);
        break;
      case ArithmeticOp::Modulo:
        r = decimal::ModuloType(ta, tb);
        break;
      default:
        r = decimal::AddType(ta, tb);
        break;
    }
    return {TypeId::Decimal, static_cast<uint8_t>(r.precision), static_cast<uint8_t>(r.scale)};
  }
  if (id == TypeId::Money) return {TypeId::Money, 19, 4};
  if (id == TypeId::Bit) ThrowInvalidOperand(TypeId::Bit, OperatorName(op));
  return {id};
}

[[noreturn]] void ThrowDivideByZero() { Throw(ErrorCode::kDivideByZero); }

Value EvalInteger(ArithmeticOp op, int64_t a, int64_t b, TypeId result) {
  Int128 r = 0;
  switch (op) {
    case ArithmeticOp::Add:
      r = static_cast<Int128>(a) + b;
      break;
    case ArithmeticOp::Subtract:
      r = static_cast<Int128>(a) - b;
      break;
    case ArithmeticOp::Multiply:
      r = static_cast<Int128>(a) * b;
      break;
    case ArithmeticOp::Divide:
      if (b == 0) ThrowDivideByZero();
      r = static_cast<Int128>(a) / b;  // truncates toward zero, as SQL Server does
      break;
    case ArithmeticOp::Modulo:
      if (b == 0) ThrowDivideByZero();
      r = static_cast<Int128>(a) % b;  // takes the sign of the dividend
      break;
    case ArithmeticOp::BitAnd:
      r = a & b;
      break;
    case ArithmeticOp::BitOr:
      r = a | b;
      break;
    case ArithmeticOp::BitXor:
      r = a ^ b;
      break;
    default:
      Throw(ErrorCode::kInternal, {"comparison passed to EvalBinary"});
  }
  if (!detail::IntegerFits(result, r)) detail::ThrowExpressionOverflow(result);
  return Value::Integer(result, static_cast<int64_t>(r));
}

Value EvalFloat(ArithmeticOp op, double a, double b) {
  double r = 0;
  switch (op) {
    case ArithmeticOp::Add:
      r = a + b;
      break;
    case ArithmeticOp::Subtract:
      r = a - b;
      break;
    case ArithmeticOp::Multiply:
      r = a * b;
      break;
    default:
      if (b == 0) ThrowDivideByZero();
      r = a / b;
      break;
  }
  if (!std::isfinite(r)) detail::ThrowExpressionOverflow(TypeId::Float);
  return Value::Double(r);
}

Value EvalMoney(ArithmeticOp op, Int128 a, Int128 b) {
  Int128 r = 0;
  switch (op) {
    case ArithmeticOp::Add:
      r = a + b;
      break;
    case ArithmeticOp::Subtract:
      r = a - b;
      break;
    case ArithmeticOp::Multiply:
      r = decimal::Rescale(a * b, 8, 4);  // both at four decimals; fits 128 bits for any two money values
      break;
    case ArithmeticOp::Divide:
      if (b == 0) ThrowDivideByZero();
      r = decimal::Rescale(a * decimal::Pow10(5) / b, 5, 4);
      break;
    default:
      if (b == 0) ThrowDivideByZero();
      r = a % b;
      break;
  }
  if (!detail::IntegerFits(TypeId::BigInt, r)) detail::ThrowExpressionOverflow(TypeId::Money);
  return Value::Decimal(r, 19, 4, TypeId::Money);
}

// An operand of decimal arithmetic as (unscaled, scale); text converts to the
// result's scale.
Value AsDecimalOperand(const Value& v, const DataType& result, StringArena& arena) {
  if (IsInteger(v.type)) return Value::Decimal(v.i, 19, 0);
  if (v.type == TypeId::Decimal || v.type == TypeId::Money) return v;
  return CastValue(v, {TypeId::Decimal, decimal::kMaxPrecision, result.scale}, arena);
}

Value EvalDecimal(ArithmeticOp op, const Value& a, const Value& b, const DataType& result) {
  decimal::Type type{result.precision, result.scale};
  if ((op == ArithmeticOp::Divide || op == ArithmeticOp::Modulo) && b.dec == 0) ThrowDivideByZero();
  std::optional<Int128> r;
  switch (op) {
    case ArithmeticOp::Add:
      r = decimal::Add(a.dec, a.scale, b.dec, b.scale, type);
      break;
    case ArithmeticOp::Subtract:
      r = decimal::Subtract(a.dec, a.scale, b.dec, b.scale, type);
      break;
    case ArithmeticOp::Multiply:
      r = decimal::Multiply(a.dec, a.scale, b.dec, b.scale, type);
      break;
    case ArithmeticOp::Divide:
      r = decimal::Divide(a.dec, a.scale, b.dec, b.scale, type);
      break;
    default:
      r = decimal::Modulo(a.dec, a.scale, b.dec, b.scale, type);
      break;
  }
  if (!r) detail::ThrowExpressionOverflow(TypeId::Decimal);
  return Value::Decimal(*r, result.precision, result.scale);
}

Value EvalDateTime(ArithmeticOp op, const Value& left, const Value& right, StringArena& arena) {
  const DataType datetime{TypeId::DateTime};
  // A number added to a datetime counts days; datetime - datetime is the
  // distance as a datetime after 1900-01-01.
  int64_t a = CastValue(left, datetime, arena).dt;
  int64_t b = CastValue(right, datetime, arena).dt;
  int64_t r = op == ArithmeticOp::Add ? a + b : a - b;
  if (r < kMinTicks || r > kMaxTicks) Throw(ErrorCode::kDateAddOverflow, {"datetime"});
  return Value::DateTime(r);
}

Value Concatenate(const Value& left, const Value& right, const DataType& result, StringArena& arena) {
  std::string_view a = left.s();
  std::string_view b = right.s();
  char* p = arena.Allocate(a.size() + b.size());
  std::copy(a.begin(), a.end(), p);
  std::copy(b.begin(), b.end(), p + a.size());
  return Value::String(result.id, detail::FitText({p, a.size() + b.size()}, result, arena));
}

}  // namespace

DataType BinaryResultType(ArithmeticOp op, const DataType& left, const DataType& right) {
  if (left.id == TypeId::Null && right.id == TypeId::Null) return {TypeId::Int};
  // An untyped NULL takes the type of the other operand.
  const DataType& l = left.id == TypeId::Null ? right : left;
  const DataType& r = right.id == TypeId::Null ? left : right;
  bool l_text = IsString(l.id);
  bool r_text = IsString(r.id);
  if (l_text && r_text) {
    if (op == ArithmeticOp::Add) return left.id == TypeId::Null || right.id == TypeId::Null ? l : ConcatType(l, r);
    ThrowIncompatible(op, l, r);
  }
  if (IsBitwise(op)) {
    bool l_ok = IsInteger(l.id) || l_text;
    bool r_ok = IsInteger(r.id) || r_text;
    if (!l_ok || !r_ok) ThrowIncompatible(op, l, r);
    return {std::max(l_text ? r.id : l.id, r_text ? l.id : r.id)};
  }
  if (l.id == TypeId::DateTime || r.id == TypeId::DateTime) {
    if (op != ArithmeticOp::Add && op != ArithmeticOp::Subtract) ThrowInvalidOperand(TypeId::DateTime, OperatorName(op));
    return {TypeId::DateTime};
  }
  // Text meets a number by converting to the number's type.
  return NumericResultType(op, l_text ? r : l, r_text ? l : r);
}

Value EvalBinary(ArithmeticOp op, const Value& left, const Value& right, const DataType& result,
                 StringArena& arena) {
  if (left.is_null || right.is_null) return Value::Null(result.id);
  switch (result.id) {
    case TypeId::Char:
    case TypeId::VarChar:
    case TypeId::NChar:
    case TypeId::NVarChar:
      return Concatenate(left, right, result, arena);
    case TypeId::DateTime:
      return EvalDateTime(op, left, right, arena);
    case TypeId::Float:
      return EvalFloat(op, CastValue(left, result, arena).f, CastValue(right, result, arena).f);
    case TypeId::Money:
      return EvalMoney(op, CastValue(left, result, arena).dec, CastValue(right, result, arena).dec);
    case TypeId::Decimal:
      return EvalDecimal(op, AsDecimalOperand(left, result, arena), AsDecimalOperand(right, result, arena), result);
    case TypeId::Null:
      Throw(ErrorCode::kInternal, {"operator without a result type"});
    default:
      return EvalInteger(op, CastValue(left, result, arena).i, CastValue(right, result, arena).i, result.id);
  }
}

DataType UnaryResultType(PrefixOp op, const DataType& operand) {
  if (operand.id == TypeId::Null) return {TypeId::Int};
  switch (op) {
    case PrefixOp::Plus:
      return operand;
    case PrefixOp::Negate:
      if (IsString(operand.id) || operand.id == TypeId::Bit || operand.id == TypeId::DateTime) {
        ThrowInvalidOperand(operand.id, "minus");
      }
      // Negating a tinyint needs a sign, so SQL Server widens it to smallint.
      if (operand.id == TypeId::TinyInt) return {TypeId::SmallInt};
      return operand;
    case PrefixOp::BitNot:
      if (!IsInteger(operand.id)) ThrowInvalidOperand(operand.id, "~");
      return operand;
  }
  Throw(ErrorCode::kInternal, {"unknown prefix operator"});
}

Value EvalUnary(PrefixOp op, const Value& operand, const DataType& result) {
  if (operand.is_null) return Value::Null(result.id);
  if (op == PrefixOp::Plus) return operand;
  if (op == PrefixOp::BitNot) {
    int64_t x = operand.i;
    if (result.id == TypeId::Bit) return Value::Integer(TypeId::Bit, x ^ 1);
    if (result.id == TypeId::TinyInt) return Value::Integer(TypeId::TinyInt, ~x & 0xFF);
    return Value::Integer(result.id, ~x);
  }
  switch (operand.type) {
    case TypeId::Float:
      return Value::Double(-operand.f);
    case TypeId::Decimal:
    case TypeId::Money:
      return Value::Decimal(-operand.dec, operand.precision, operand.scale, operand.type);
    default: {
      Int128 r = -static_cast<Int128>(operand.i);
      if (!detail::IntegerFits(result.id, r)) detail::ThrowExpressionOverflow(result.id);
      return Value::Integer(result.id, static_cast<int64_t>(r));
    }
  }
}

}  // namespace orv::engine
