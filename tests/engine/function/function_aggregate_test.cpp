// Aggregates: result types and the totals of small groups worked out by hand,
// NULLs skipped, overflow reported.
#include <gtest/gtest.h>

#include <vector>

#include "engine/function/scalar.h"
#include "function_test_util.h"

namespace orv::engine::test {
namespace {

// Runs one aggregate over `values` of `type` and returns its result.
Value Aggregate(AggregateKind kind, const DataType& type, const std::vector<Value>& values) {
  static StringArena kept;  // results of MIN/MAX point into it
  AggregateState state;
  for (const Value& v : values) Accumulate(kind, state, v, type, kept);
  Value result;
  FinishAggregate(kind, state, type, AggregateResultType(kind, type), result);
  return result;
}

TEST(AggregateTest, Lookup) {
  AggregateKind kind{};
  EXPECT_TRUE(LookupAggregate("AVG", kind));
  EXPECT_EQ(kind, AggregateKind::Avg);
  EXPECT_FALSE(LookupAggregate("ISNULL", kind));
}

TEST(AggregateTest, ResultTypes) {
  EXPECT_EQ(TypeToString(AggregateResultType(AggregateKind::Sum, Type(TypeId::TinyInt))), "int");
  EXPECT_EQ(TypeToString(AggregateResultType(AggregateKind::Sum, Type(TypeId::BigInt))), "bigint");
  EXPECT_EQ(TypeToString(AggregateResultType(AggregateKind::Sum, Type(TypeId::Decimal, 23, 10))), "decimal(38,10)");
  EXPECT_EQ(TypeToString(AggregateResultType(AggregateKind::Avg, Type(TypeId::Decimal, 10, 2))), "decimal(38,6)");
  EXPECT_EQ(TypeToString(AggregateResultType(AggregateKind::Avg, Type(TypeId::Int))), "int");
  EXPECT_EQ(TypeToString(AggregateResultType(AggregateKind::Sum, Type(TypeId::Money, 19, 4))), "money");
  EXPECT_EQ(TypeToString(AggregateResultType(AggregateKind::Count, Type(TypeId::NVarChar))), "int");
  EXPECT_EQ(TypeToString(AggregateResultType(AggregateKind::Max, Text(TypeId::NVarChar, 80))), "nvarchar(80)");
  ExpectSqlError(8117, "Operand data type nvarchar is invalid for sum operator.",
                 [] { AggregateResultType(AggregateKind::Sum, Text(TypeId::NVarChar, 80)); });
  ExpectSqlError(8117, "Operand data type bit is invalid for avg operator.",
                 [] { AggregateResultType(AggregateKind::Avg, Type(TypeId::Bit)); });
}

TEST(AggregateTest, SumsAndAverages) {
  const DataType i = Type(TypeId::Int);
  std::vector<Value> ints = {Int(1), Value::Null(TypeId::Int), Int(2), Int(2)};
  EXPECT_EQ(Show(Aggregate(AggregateKind::Sum, i, ints)), "5");
  // AVG of int is int: 5 / 3 truncated.
  EXPECT_EQ(Show(Aggregate(AggregateKind::Avg, i, ints)), "1");
  EXPECT_EQ(Show(Aggregate(AggregateKind::Avg, i, {Int(-5), Int(-2)})), "-3");
  EXPECT_EQ(Show(Aggregate(AggregateKind::Count, i, ints)), "3");
  EXPECT_EQ(Show(Aggregate(AggregateKind::CountStar, i, ints)), "4");
  const DataType d = Type(TypeId::Decimal, 23, 10);
  std::vector<Value> decimals = {Dec("1.5", 23, 10), Dec("2.25", 23, 10)};
  EXPECT_EQ(Show(Aggregate(AggregateKind::Sum, d, decimals)), "3.7500000000");
  EXPECT_EQ(Show(Aggregate(AggregateKind::Avg, d, decimals)), "1.8750000000");
  EXPECT_EQ(Show(Aggregate(AggregateKind::Avg, Type(TypeId::Decimal, 5, 0), {Dec("1", 5, 0), Dec("2", 5, 0)})),
            "1.500000");
  // 5/3 cut at six decimals, as the division it is.
  EXPECT_EQ(Show(Aggregate(AggregateKind::Avg, Type(TypeId::Decimal, 5, 0), {Dec("1", 5, 0), Dec("2", 5, 0), Dec("2", 5, 0)})),
            "1.666666");
  const DataType m = Type(TypeId::Money, 19, 4);
  EXPECT_EQ(Show(Aggregate(AggregateKind::Sum, m, {Dec("1.10", 19, 4, TypeId::Money), Dec("2.05", 19, 4, TypeId::Money)})),
            "3.1500");
  EXPECT_DOUBLE_EQ(Aggregate(AggregateKind::Avg, Type(TypeId::Float), {Value::Double(1), Value::Double(2)}).f, 1.5);
}

TEST(AggregateTest, EmptyGroups) {
  // No rows, or only NULLs: SUM/AVG/MIN are NULL, COUNT is 0.
  const DataType i = Type(TypeId::Int);
  EXPECT_TRUE(Aggregate(AggregateKind::Sum, i, {Value::Null(TypeId::Int)}).is_null);
  EXPECT_TRUE(Aggregate(AggregateKind::Min, i, {}).is_null);
  EXPECT_EQ(Show(Aggregate(AggregateKind::Count, i, {})), "0");
}

TEST(AggregateTest, Overflow) {
  const DataType i = Type(TypeId::Int);
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type int.",
                 [&] { Aggregate(AggregateKind::Sum, i, {Int(2147483647), Int(1)}); });
  const DataType widest = Type(TypeId::Decimal, 38, 0);
  Value nines = Dec(std::string(38, '9'), 38, 0);
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type numeric.",
                 [&] { Aggregate(AggregateKind::Sum, widest, {nines, nines}); });
  // The sum accumulates in the argument's type: passing its range on the way fails even if the total is back in it.
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type int.",
                 [&] { Aggregate(AggregateKind::Sum, i, {Int(2147483647), Int(1), Int(-10)}); });
}

TEST(AggregateTest, MinMaxByCollation) {
  const DataType nv = Text(TypeId::NVarChar, 20);
  std::vector<Value> names = {Str("b", TypeId::NVarChar), Str("A", TypeId::NVarChar), Str("C", TypeId::NVarChar),
                              Value::Null(TypeId::NVarChar)};
  EXPECT_EQ(Show(Aggregate(AggregateKind::Min, nv, names)), "'A'");
  EXPECT_EQ(Show(Aggregate(AggregateKind::Max, nv, names)), "'C'");
  // Chinese by pinyin: li before zhang.
  EXPECT_EQ(Show(Aggregate(AggregateKind::Min, nv, {Str("张三", TypeId::NVarChar), Str("李四", TypeId::NVarChar)})),
            "'李四'");
  const DataType d = Type(TypeId::Decimal, 5, 2);
  EXPECT_EQ(Show(Aggregate(AggregateKind::Max, d, {Dec("-1", 5, 2), Dec("3.5", 5, 2), Dec("0.25", 5, 2)})), "3.50");
}

}  // namespace
}  // namespace orv::engine::test
