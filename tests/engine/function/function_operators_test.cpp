// Type rules and operators: literal types, data type precedence, result types
// of arithmetic and their values, worked out by hand.
#include <gtest/gtest.h>

#include "engine/function/scalar.h"
#include "function_test_util.h"

namespace orv::engine::test {
namespace {


class OperatorTest : public ::testing::Test {
 protected:
  // Types and evaluates `left op right` as the binder would.
  Value Eval(ArithmeticOp op, const Value& left, const DataType& lt, const Value& right, const DataType& rt) {
    result_ = BinaryResultType(op, lt, rt);
    return EvalBinary(op, left, right, result_, arena_);
  }
  Value LiteralOf(LiteralKind kind, std::string text, DataType* type) {
    *type = LiteralType(kind, text);
    return LiteralValue(kind, text, *type, arena_);
  }
  DataType result_;
  StringArena arena_;
};

TEST(TypeRulesTest, LiteralTypes) {
  using K = LiteralKind;
  EXPECT_EQ(TypeToString(LiteralType(K::Integer, "12")), "int");
  EXPECT_EQ(TypeToString(LiteralType(K::Integer, "2147483647")), "int");
  EXPECT_EQ(TypeToString(LiteralType(K::Integer, "3000000000")), "decimal(10,0)");
  EXPECT_EQ(TypeToString(LiteralType(K::Decimal, "1.50")), "decimal(3,2)");
  EXPECT_EQ(TypeToString(LiteralType(K::Decimal, "0.01")), "decimal(2,2)");
  EXPECT_EQ(TypeToString(LiteralType(K::Float, "1e5")), "float");
  EXPECT_EQ(TypeToString(LiteralType(K::String, "ab")), "varchar(2)");
  EXPECT_EQ(TypeToString(LiteralType(K::String, "合计")), "varchar(4)");
  EXPECT_EQ(TypeToString(LiteralType(K::NString, "合计")), "nvarchar(2)");
  EXPECT_EQ(LiteralType(K::Null, "").id, TypeId::Null);
  ExpectSqlError(1007, "", [] { LiteralType(K::Integer, std::string(39, '9')); });
}

TEST(TypeRulesTest, ResolveTypeName) {
  EXPECT_EQ(TypeToString(ResolveTypeName({"DECIMAL", 28, 10})), "decimal(28,10)");
  EXPECT_EQ(TypeToString(ResolveTypeName({"NUMERIC"})), "decimal(18,0)");
  EXPECT_EQ(TypeToString(ResolveTypeName({"VARCHAR"})), "varchar(1)");
  EXPECT_EQ(TypeToString(ResolveTypeName({"VARCHAR"}, true)), "varchar(30)");
  EXPECT_EQ(TypeToString(ResolveTypeName({"NVARCHAR", -1, -1, true})), "nvarchar(max)");
  EXPECT_EQ(TypeToString(ResolveTypeName({"MONEY"})), "money");
  ExpectSqlError(2715, "Column, parameter, or variable #3: Cannot find data type FOO.",
                 [] { ResolveTypeName({"FOO"}, false, 3); });
  ExpectSqlError(2750, "Column or parameter #1: Specified column precision 39 is greater than the maximum precision of 38.",
                 [] { ResolveTypeName({"DECIMAL", 39, 2}); });
  ExpectSqlError(131, "The size (9000) given to the type 'varchar' exceeds the maximum allowed for any data type (8000).",
                 [] { ResolveTypeName({"VARCHAR", 9000}); });
}

TEST(TypeRulesTest, CommonType) {
  EXPECT_EQ(TypeToString(CommonType(Type(TypeId::Decimal, 5, 2), Type(TypeId::Decimal, 10, 5))), "decimal(10,5)");
  EXPECT_EQ(TypeToString(CommonType(Type(TypeId::Int), Type(TypeId::Decimal, 5, 2))), "decimal(12,2)");
  EXPECT_EQ(TypeToString(CommonType(Type(TypeId::Money, 19, 4), Type(TypeId::Decimal, 5, 2))), "decimal(19,4)");
  EXPECT_EQ(TypeToString(CommonType(Type(TypeId::Int), Type(TypeId::Float))), "float");
  EXPECT_EQ(TypeToString(CommonType(Type(TypeId::Bit), Type(TypeId::SmallInt))), "smallint");
  EXPECT_EQ(TypeToString(CommonType(Text(TypeId::VarChar, 10), Type(TypeId::Int))), "int");
  EXPECT_EQ(TypeToString(CommonType(Text(TypeId::VarChar, 10), Text(TypeId::NVarChar, 5))), "nvarchar(10)");
  EXPECT_EQ(TypeToString(CommonType(Text(TypeId::Char, 3), Text(TypeId::VarChar, 8))), "varchar(8)");
  EXPECT_EQ(TypeToString(CommonType(Text(TypeId::VarChar, 3), Type(TypeId::DateTime))), "datetime");
  EXPECT_EQ(TypeToString(CommonType(Type(TypeId::Null), Type(TypeId::Money, 19, 4))), "money");
}

TEST_F(OperatorTest, IntegerArithmetic) {
  const DataType i = Type(TypeId::Int);
  EXPECT_EQ(Show(Eval(ArithmeticOp::Divide, Int(1), i, Int(3), i)), "0");
  EXPECT_EQ(Show(Eval(ArithmeticOp::Divide, Int(-7), i, Int(2), i)), "-3");
  EXPECT_EQ(Show(Eval(ArithmeticOp::Modulo, Int(-7), i, Int(2), i)), "-1");
  EXPECT_EQ(TypeToString(result_), "int");
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type int.",
                 [&] { Eval(ArithmeticOp::Add, Int(2147483647), i, Int(1), i); });
  ExpectSqlError(8134, "Divide by zero error encountered.", [&] { Eval(ArithmeticOp::Divide, Int(1), i, Int(0), i); });
  ExpectSqlError(8134, "", [&] { Eval(ArithmeticOp::Modulo, Int(1), i, Int(0), i); });
  // tinyint + tinyint stays tinyint and overflows past 255.
  const DataType t = Type(TypeId::TinyInt);
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type tinyint.",
                 [&] { Eval(ArithmeticOp::Add, Int(200, TypeId::TinyInt), t, Int(100, TypeId::TinyInt), t); });
  EXPECT_EQ(Show(Eval(ArithmeticOp::Multiply, Int(3, TypeId::SmallInt), Type(TypeId::SmallInt), Int(4000000000, TypeId::BigInt),
                      Type(TypeId::BigInt))),
            "12000000000");
  EXPECT_EQ(TypeToString(result_), "bigint");
  EXPECT_EQ(Show(Eval(ArithmeticOp::BitAnd, Int(6), i, Int(3), i)), "2");
}

TEST_F(OperatorTest, DecimalArithmetic) {
  using K = LiteralKind;
  DataType one_t, three_t, rate_t, pct_t;
  Value one = LiteralOf(K::Integer, "1", &one_t);
  Value three = LiteralOf(K::Decimal, "3.0", &three_t);
  // 1/3.0: int as decimal(10,0) over decimal(2,1): p = 10+1+max(6,3), s = 6.
  EXPECT_EQ(Show(Eval(ArithmeticOp::Divide, one, one_t, three, three_t)), "0.333333");
  EXPECT_EQ(TypeToString(result_), "decimal(17,6)");
  // The quotient is cut at the result scale, not rounded: 2/3.0 = 0.666666.
  EXPECT_EQ(Show(Eval(ArithmeticOp::Divide, Int(2), one_t, three, three_t)), "0.666666");
  // decimal(38,10) / decimal(38,10) is decimal(38,6): 0.000167574 shows 0.000167.
  DataType wide = Type(TypeId::Decimal, 38, 10);
  EXPECT_EQ(Show(Eval(ArithmeticOp::Divide, Dec("1.67574", 38, 10), wide, Dec("10000", 38, 10), wide)), "0.000167");
  EXPECT_EQ(TypeToString(result_), "decimal(38,6)");
  // decimal(28,10) * 0.01: p = 28+2+1 = 31, s = 10+2 = 12.
  Value rate = Dec("17.5", 28, 10);
  rate_t = Type(TypeId::Decimal, 28, 10);
  Value pct = LiteralOf(K::Decimal, "0.01", &pct_t);
  EXPECT_EQ(Show(Eval(ArithmeticOp::Multiply, rate, rate_t, pct, pct_t)), "0.175000000000");
  EXPECT_EQ(TypeToString(result_), "decimal(31,12)");
  // int + decimal is decimal: int counts as decimal(10,0).
  EXPECT_EQ(Show(Eval(ArithmeticOp::Add, Int(2), Type(TypeId::Int), Dec("0.50", 3, 2), Type(TypeId::Decimal, 3, 2))), "2.50");
  EXPECT_EQ(TypeToString(result_), "decimal(13,2)");
  ExpectSqlError(8134, "Divide by zero error encountered.", [&] {
    Eval(ArithmeticOp::Divide, Dec("1.5", 2, 1), Type(TypeId::Decimal, 2, 1), Dec("0.00", 3, 2), Type(TypeId::Decimal, 3, 2));
  });
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type numeric.", [&] {
    DataType big = Type(TypeId::Decimal, 38, 0);
    Value nines = Dec(std::string(38, '9'), 38, 0);
    Eval(ArithmeticOp::Add, nines, big, nines, big);
  });
}

TEST_F(OperatorTest, MoneyAndFloat) {
  const DataType m = Type(TypeId::Money, 19, 4);
  EXPECT_EQ(Show(Eval(ArithmeticOp::Multiply, Dec("2.5", 19, 4, TypeId::Money), m, Int(3), Type(TypeId::Int))), "7.5000");
  EXPECT_EQ(result_.id, TypeId::Money);
  EXPECT_EQ(Show(Eval(ArithmeticOp::Divide, Dec("10", 19, 4, TypeId::Money), m, Dec("3", 19, 4, TypeId::Money), m)), "3.3333");
  Value f = Eval(ArithmeticOp::Add, Value::Double(0.5), Type(TypeId::Float), Dec("1.25", 3, 2), Type(TypeId::Decimal, 3, 2));
  EXPECT_EQ(result_.id, TypeId::Float);
  EXPECT_DOUBLE_EQ(f.f, 1.75);
  ExpectSqlError(8117, "Operand data type float is invalid for modulo operator.",
                 [&] { BinaryResultType(ArithmeticOp::Modulo, Type(TypeId::Float), Type(TypeId::Int)); });
}

TEST_F(OperatorTest, StringsMeetNumbers) {
  // '5' + 5 converts the text to int; 'Total: ' + 5 fails with its text.
  EXPECT_EQ(Show(Eval(ArithmeticOp::Add, Str("5"), Text(TypeId::VarChar, 1), Int(5), Type(TypeId::Int))), "10");
  ExpectSqlError(245, "Conversion failed when converting the varchar value 'Total: ' to data type int.", [&] {
    Eval(ArithmeticOp::Add, Str("Total: "), Text(TypeId::VarChar, 7), Int(5), Type(TypeId::Int));
  });
  Value joined = Eval(ArithmeticOp::Add, Str("小计"), Text(TypeId::VarChar, 4), Str("(a)", TypeId::NVarChar),
                      Text(TypeId::NVarChar, 3));
  EXPECT_EQ(Show(joined), "'小计(a)'");
  EXPECT_EQ(TypeToString(result_), "nvarchar(7)");
  // CONCAT_NULL_YIELDS_NULL: 'a' + NULL is NULL.
  Value null_join = Eval(ArithmeticOp::Add, Str("a"), Text(TypeId::VarChar, 1), Value::Null(), Type(TypeId::Null));
  EXPECT_TRUE(null_join.is_null);
  EXPECT_EQ(TypeToString(result_), "varchar(1)");
  EXPECT_EQ(TypeToString(BinaryResultType(ArithmeticOp::Add, Text(TypeId::VarChar, 6000), Text(TypeId::VarChar, 6000))),
            "varchar(8000)");
  ExpectSqlError(402, "The data types varchar and varchar are incompatible in the subtract operator.",
                 [&] { BinaryResultType(ArithmeticOp::Subtract, Text(TypeId::VarChar, 1), Text(TypeId::VarChar, 1)); });
}

TEST_F(OperatorTest, DateTimeArithmetic) {
  const DataType dt = Type(TypeId::DateTime);
  EXPECT_EQ(Eval(ArithmeticOp::Add, Value::DateTime(kTicksPerDay), dt, Int(2), Type(TypeId::Int)).dt, 3 * kTicksPerDay);
  EXPECT_EQ(Eval(ArithmeticOp::Add, Value::DateTime(0), dt, Value::Double(0.5), Type(TypeId::Float)).dt, kTicksPerDay / 2);
  EXPECT_EQ(Eval(ArithmeticOp::Subtract, Value::DateTime(5 * kTicksPerDay), dt, Value::DateTime(kTicksPerDay), dt).dt,
            4 * kTicksPerDay);
  EXPECT_EQ(result_.id, TypeId::DateTime);
  ExpectSqlError(517, "Adding a value to a 'datetime' column caused an overflow.",
                 [&] { Eval(ArithmeticOp::Add, Value::DateTime(2958463 * kTicksPerDay), dt, Int(1), Type(TypeId::Int)); });
  ExpectSqlError(8117, "Operand data type datetime is invalid for multiply operator.",
                 [&] { BinaryResultType(ArithmeticOp::Multiply, dt, Type(TypeId::Int)); });
}

TEST_F(OperatorTest, Unary) {
  EXPECT_EQ(TypeToString(UnaryResultType(PrefixOp::Negate, Type(TypeId::TinyInt))), "smallint");
  EXPECT_EQ(Show(EvalUnary(PrefixOp::Negate, Dec("1.50", 3, 2), Type(TypeId::Decimal, 3, 2))), "-1.50");
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type int.",
                 [] { EvalUnary(PrefixOp::Negate, Int(-2147483648), Type(TypeId::Int)); });
  ExpectSqlError(8117, "Operand data type varchar is invalid for minus operator.",
                 [] { UnaryResultType(PrefixOp::Negate, Text(TypeId::VarChar, 1)); });
  EXPECT_EQ(Show(EvalUnary(PrefixOp::BitNot, Int(5, TypeId::TinyInt), Type(TypeId::TinyInt))), "250");
}

TEST(CompareTest, ValuesAndHashes) {
  // Decimals of different scales compare and hash as the same number.
  EXPECT_EQ(CompareValues(Dec("1.50", 3, 2), Dec("1.5", 2, 1)), 0);
  EXPECT_EQ(HashValue(Dec("1.50", 3, 2)), HashValue(Dec("1.5", 2, 1)));
  EXPECT_EQ(HashValue(Dec("5.000", 4, 3)), HashValue(Int(5)));
  EXPECT_LT(CompareValues(Dec("-0.01", 2, 2), Dec("0", 1, 0)), 0);
  EXPECT_GT(CompareValues(Int(3), Int(-3)), 0);
  // Strings by the collation: case and trailing blanks do not count.
  EXPECT_EQ(CompareValues(Str("abc"), Str("ABC  ", TypeId::NVarChar)), 0);
  EXPECT_EQ(HashValue(Str("abc")), HashValue(Str("ABC  ")));
  EXPECT_LT(CompareValues(Str("01.02"), Str("01.10")), 0);
  EXPECT_LT(CompareValues(Value::DateTime(1), Value::DateTime(2)), 0);
  EXPECT_LT(CompareValues(Value::Null(TypeId::Int), Int(0)), 0);
}

}  // namespace
}  // namespace orv::engine::test
