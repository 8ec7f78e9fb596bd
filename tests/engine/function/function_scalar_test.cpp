// Built-in scalar functions through the registry, as the binder calls them:
// result types and values worked out by hand, Chinese text, NULLs and errors.
#include <gtest/gtest.h>

#include <vector>

#include "engine/function/scalar.h"
#include "function_test_util.h"

namespace orv::engine::test {
namespace {

class ScalarTest : public ::testing::Test {
 protected:
  // Types the call from `types` and evaluates it on `values`.
  Value Call(std::string_view name, std::vector<DataType> types, std::vector<Value> values,
             std::string_view datepart = {}) {
    const ScalarFunction* f = FindScalarFunction(name);
    EXPECT_NE(f, nullptr) << name;
    result_ = f->result_type(types, datepart);
    EvalContext context{arena_};
    return f->eval(values, result_, datepart, context);
  }
  std::string CallText(std::string_view name, std::vector<DataType> types, std::vector<Value> values) {
    return Show(Call(name, std::move(types), std::move(values)));
  }
  DataType result_;
  StringArena arena_;
};

const DataType kInt = Type(TypeId::Int);
const DataType kNv = Text(TypeId::NVarChar, 255);
const DataType kV20 = Text(TypeId::VarChar, 20);

TEST_F(ScalarTest, Registry) {
  EXPECT_NE(FindScalarFunction("ISNULL"), nullptr);
  EXPECT_EQ(FindScalarFunction("SUM"), nullptr);
  EXPECT_EQ(FindScalarFunction("NO_SUCH"), nullptr);
  ExpectSqlError(174, "The isnull function requires 2 argument(s).",
                 [] { FindScalarFunction("ISNULL")->result_type(std::vector<DataType>{kInt}, {}); });
  ExpectSqlError(189, "The charindex function requires 2 to 3 arguments.",
                 [] { FindScalarFunction("CHARINDEX")->result_type(std::vector<DataType>{kNv}, {}); });
}

TEST_F(ScalarTest, IsNullTypesByFirstArgument) {
  // The replacement converts to the first argument's type and length.
  EXPECT_EQ(CallText("ISNULL", {Text(TypeId::VarChar, 3), kV20}, {Value::Null(TypeId::VarChar), Str("abcdef")}), "'abc'");
  EXPECT_EQ(TypeToString(result_), "varchar(3)");
  EXPECT_EQ(CallText("ISNULL", {Type(TypeId::Decimal, 23, 10), kInt}, {Value::Null(TypeId::Decimal), Int(0)}),
            "0.0000000000");
  EXPECT_EQ(CallText("ISNULL", {Type(TypeId::Decimal, 23, 10), Type(TypeId::Decimal, 2, 1)},
                     {Value::Null(TypeId::Decimal), Dec("0.5", 2, 1)}),
            "0.5000000000");
  EXPECT_EQ(CallText("ISNULL", {kInt, kInt}, {Int(7), Int(0)}), "7");
  EXPECT_EQ(CallText("ISNULL", {Type(TypeId::Null), kNv}, {Value::Null(), Str("x", TypeId::NVarChar)}), "'x'");
  EXPECT_EQ(result_, kNv);
  ExpectSqlError(245, "Conversion failed when converting the varchar value 'n/a' to data type int.",
                 [&] { Call("ISNULL", {kInt, kV20}, {Value::Null(TypeId::Int), Str("n/a")}); });
}

TEST_F(ScalarTest, CoalesceAndNullIf) {
  EXPECT_EQ(CallText("COALESCE", {kInt, Type(TypeId::Decimal, 5, 2)}, {Value::Null(TypeId::Int), Dec("1.5", 5, 2)}), "1.50");
  EXPECT_EQ(TypeToString(result_), "decimal(12,2)");
  ExpectSqlError(4127, "", [&] { Call("COALESCE", {Type(TypeId::Null), Type(TypeId::Null)}, {Value::Null(), Value::Null()}); });
  EXPECT_EQ(CallText("NULLIF", {kInt, kInt}, {Int(0), Int(0)}), "NULL");
  EXPECT_EQ(CallText("NULLIF", {kInt, kInt}, {Int(3), Int(0)}), "3");
  EXPECT_EQ(CallText("NULLIF", {kV20, kV20}, {Str("Abc"), Str("aBC ")}), "NULL");
  ExpectSqlError(4151, "", [&] { Call("NULLIF", {Type(TypeId::Null), kInt}, {Value::Null(), Int(1)}); });
}

TEST_F(ScalarTest, CharIndex) {
  // Item numbers: the position of each level's dot.
  EXPECT_EQ(CallText("CHARINDEX", {kV20, kV20}, {Str("."), Str("01.02.003")}), "3");
  EXPECT_EQ(CallText("CHARINDEX", {kV20, kV20, kInt}, {Str("."), Str("01.02.003"), Int(4)}), "6");
  EXPECT_EQ(CallText("CHARINDEX", {kV20, kV20}, {Str("."), Str("0102")}), "0");
  EXPECT_EQ(CallText("CHARINDEX", {kV20, kV20, kInt}, {Str("a"), Str("abc"), Int(-5)}), "1");
  EXPECT_EQ(CallText("CHARINDEX", {kV20, kV20}, {Str("BC"), Str("abc")}), "2");
  EXPECT_EQ(CallText("CHARINDEX", {kV20, kV20}, {Str(""), Str("abc")}), "0");
  // Positions count characters in Chinese text.
  EXPECT_EQ(CallText("CHARINDEX", {kNv, kNv}, {Str("小计", TypeId::NVarChar), Str("办公设备(小计)", TypeId::NVarChar)}), "6");
  EXPECT_EQ(CallText("CHARINDEX", {kNv, kNv}, {Str("x"), Str("设备X", TypeId::NVarChar)}), "3");
  EXPECT_EQ(CallText("CHARINDEX", {kV20, kV20}, {Value::Null(TypeId::VarChar), Str("abc")}), "NULL");
  EXPECT_EQ(result_, kInt);
}

TEST_F(ScalarTest, SubstringLeftRight) {
  EXPECT_EQ(CallText("SUBSTRING", {kV20, kInt, kInt}, {Str("01.02.003"), Int(1), Int(5)}), "'01.02'");
  EXPECT_EQ(TypeToString(result_), "varchar(20)");
  // A start before 1 uses up part of the length.
  EXPECT_EQ(CallText("SUBSTRING", {kV20, kInt, kInt}, {Str("abcdef"), Int(-1), Int(4)}), "'ab'");
  EXPECT_EQ(CallText("SUBSTRING", {kV20, kInt, kInt}, {Str("abc"), Int(5), Int(2)}), "''");
  EXPECT_EQ(CallText("SUBSTRING", {kNv, kInt, kInt}, {Str("固定资产卡片", TypeId::NVarChar), Int(3), Int(2)}), "'资产'");
  EXPECT_EQ(TypeToString(result_), "nvarchar(255)");
  ExpectSqlError(537, "Invalid length parameter passed to the LEFT or SUBSTRING function.",
                 [&] { Call("SUBSTRING", {kV20, kInt, kInt}, {Str("abc"), Int(1), Int(-1)}); });
  EXPECT_EQ(CallText("LEFT", {kNv, kInt}, {Str("固定资产", TypeId::NVarChar), Int(2)}), "'固定'");
  EXPECT_EQ(CallText("RIGHT", {kNv, kInt}, {Str("固定资产", TypeId::NVarChar), Int(3)}), "'定资产'");
  EXPECT_EQ(CallText("RIGHT", {kV20, kInt}, {Str("ab"), Int(5)}), "'ab'");
  ExpectSqlError(536, "Invalid length parameter passed to the left function.",
                 [&] { Call("LEFT", {kV20, kInt}, {Str("abc"), Int(-2)}); });
  ExpectSqlError(536, "Invalid length parameter passed to the right function.",
                 [&] { Call("RIGHT", {kV20, kInt}, {Str("abc"), Int(-2)}); });
  EXPECT_EQ(CallText("LEFT", {Text(TypeId::Char, 5), kInt}, {Str("ab   ", TypeId::Char), Int(4)}), "'ab  '");
  EXPECT_EQ(result_.id, TypeId::VarChar);
}

TEST_F(ScalarTest, LengthsAndTrims) {
  EXPECT_EQ(CallText("LEN", {kNv}, {Str("资产 ab  ", TypeId::NVarChar)}), "5");
  EXPECT_EQ(CallText("LEN", {kV20}, {Str("   ")}), "0");
  EXPECT_EQ(CallText("LEN", {kInt}, {Int(-123)}), "4");
  EXPECT_EQ(CallText("DATALENGTH", {kNv}, {Str("资产 ", TypeId::NVarChar)}), "6");
  EXPECT_EQ(CallText("DATALENGTH", {kV20}, {Str("资产 ")}), "5");
  EXPECT_EQ(CallText("DATALENGTH", {Type(TypeId::Decimal, 23, 10)}, {Dec("1", 23, 10)}), "13");
  EXPECT_EQ(CallText("LTRIM", {kV20}, {Str("  a b  ")}), "'a b  '");
  EXPECT_EQ(CallText("RTRIM", {kV20}, {Str("  a b  ")}), "'  a b'");
  EXPECT_EQ(CallText("TRIM", {kV20}, {Str("  a b  ")}), "'a b'");
  EXPECT_EQ(CallText("RTRIM", {kV20}, {Str("   ")}), "''");
}

TEST_F(ScalarTest, ReplaceAndCase) {
  // The match ignores case, as the collation does.
  EXPECT_EQ(CallText("REPLACE", {kV20, kV20, kV20}, {Str("a-B-b"), Str("b"), Str("x")}), "'a-x-x'");
  EXPECT_EQ(TypeToString(result_), "varchar(8000)");
  EXPECT_EQ(CallText("REPLACE", {kNv, kNv, kNv},
                     {Str("合计(小计)", TypeId::NVarChar), Str("小计", TypeId::NVarChar), Str("合计", TypeId::NVarChar)}),
            "'合计(合计)'");
  EXPECT_EQ(TypeToString(result_), "nvarchar(4000)");
  EXPECT_EQ(CallText("REPLACE", {kV20, kV20, kV20}, {Str("abc"), Str(""), Str("x")}), "'abc'");
  EXPECT_EQ(CallText("REPLACE", {kV20, kV20, kV20}, {Str("abc"), Value::Null(TypeId::VarChar), Str("x")}), "NULL");
  EXPECT_EQ(CallText("UPPER", {kV20}, {Str("abc1")}), "'ABC1'");
  EXPECT_EQ(CallText("LOWER", {kNv}, {Str("ABC资产", TypeId::NVarChar)}), "'abc资产'");
  EXPECT_EQ(result_, kNv);
  EXPECT_EQ(CallText("REVERSE", {kNv}, {Str("资产ab", TypeId::NVarChar)}), "'ba产资'");
}

TEST_F(ScalarTest, BuildingText) {
  EXPECT_EQ(CallText("SPACE", {kInt}, {Int(3)}), "'   '");
  EXPECT_EQ(CallText("SPACE", {kInt}, {Int(-1)}), "NULL");
  EXPECT_EQ(CallText("REPLICATE", {kNv, kInt}, {Str("资", TypeId::NVarChar), Int(3)}), "'资资资'");
  EXPECT_EQ(CallText("CONCAT", {kV20, kInt, kNv}, {Str("a"), Value::Null(TypeId::Int), Str("资", TypeId::NVarChar)}),
            "'a资'");
  EXPECT_EQ(result_.id, TypeId::NVarChar);
  EXPECT_EQ(CallText("CONCAT", {kV20, kInt}, {Str("n="), Int(12)}), "'n=12'");
}

TEST_F(ScalarTest, Str) {
  const DataType f = Type(TypeId::Float);
  EXPECT_EQ(CallText("STR", {f}, {Value::Double(123.45)}), "'       123'");
  EXPECT_EQ(TypeToString(result_), "varchar(10)");
  EXPECT_EQ(CallText("STR", {f, kInt, kInt}, {Value::Double(123.456), Int(8), Int(2)}), "'  123.46'");
  // Decimals give way before the whole number does; then only stars remain.
  EXPECT_EQ(CallText("STR", {f, kInt, kInt}, {Value::Double(123.45), Int(5), Int(2)}), "'123.5'");
  EXPECT_EQ(CallText("STR", {f, kInt}, {Value::Double(1234.5), Int(3)}), "'***'");
  EXPECT_EQ(CallText("STR", {f, kInt}, {Value::Double(-2.5), Int(4)}), "'  -3'");
}

TEST_F(ScalarTest, Round) {
  const DataType d52 = Type(TypeId::Decimal, 5, 2);
  EXPECT_EQ(CallText("ROUND", {d52, kInt}, {Dec("748.58", 5, 2), Int(-1)}), "750.00");
  EXPECT_EQ(CallText("ROUND", {d52, kInt}, {Dec("748.58", 5, 2), Int(-2)}), "700.00");
  EXPECT_EQ(CallText("ROUND", {d52, kInt}, {Dec("748.58", 5, 2), Int(-4)}), "0.00");
  EXPECT_EQ(TypeToString(result_), "decimal(5,2)");
  // decimal(5,2) cannot hold 1000.00.
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type numeric.",
                 [&] { Call("ROUND", {d52, kInt}, {Dec("748.58", 5, 2), Int(-3)}); });
  EXPECT_EQ(CallText("ROUND", {d52, kInt, kInt}, {Dec("150.75", 5, 2), Int(0), Int(1)}), "150.00");
  EXPECT_EQ(CallText("ROUND", {d52, kInt}, {Dec("-2.50", 5, 2), Int(0)}), "-3.00");
  EXPECT_EQ(CallText("ROUND", {Type(TypeId::SmallInt), kInt}, {Int(15, TypeId::SmallInt), Int(-1)}), "20");
  EXPECT_EQ(result_, kInt);
  EXPECT_DOUBLE_EQ(Call("ROUND", {Type(TypeId::Float), kInt}, {Value::Double(2.345), Int(1)}).f, 2.3);
  ExpectSqlError(8116, "Argument data type datetime is invalid for argument 1 of round function.",
                 [&] { Call("ROUND", {Type(TypeId::DateTime), kInt}, {Value::DateTime(0), Int(0)}); });
}

TEST_F(ScalarTest, OtherMath) {
  const DataType d = Type(TypeId::Decimal, 5, 2);
  EXPECT_EQ(CallText("ABS", {d}, {Dec("-1.25", 5, 2)}), "1.25");
  ExpectSqlError(8115, "", [&] { Call("ABS", {kInt}, {Int(-2147483648)}); });
  EXPECT_EQ(CallText("CEILING", {d}, {Dec("-1.25", 5, 2)}), "-1");
  EXPECT_EQ(CallText("FLOOR", {d}, {Dec("-1.25", 5, 2)}), "-2");
  EXPECT_EQ(TypeToString(result_), "decimal(5,0)");
  EXPECT_EQ(CallText("SIGN", {d}, {Dec("-0.01", 5, 2)}), "-1.00");
  EXPECT_EQ(CallText("POWER", {kInt, kInt}, {Int(2), Int(10)}), "1024");
  EXPECT_EQ(CallText("POWER", {kInt, Type(TypeId::Decimal, 2, 1)}, {Int(2), Dec("0.5", 2, 1)}), "1");
  ExpectSqlError(8115, "", [&] { Call("POWER", {kInt, kInt}, {Int(2), Int(31)}); });
  EXPECT_DOUBLE_EQ(Call("SQRT", {kInt}, {Int(16)}).f, 4.0);
  ExpectSqlError(3623, "An invalid floating point operation occurred.", [&] { Call("SQRT", {kInt}, {Int(-1)}); });
  EXPECT_EQ(CallText("ISNUMERIC", {kV20}, {Str(" 1,234.5 ")}), "1");
  EXPECT_EQ(CallText("ISNUMERIC", {kV20}, {Str("1e5")}), "1");
  EXPECT_EQ(CallText("ISNUMERIC", {kV20}, {Str("abc")}), "0");
  EXPECT_EQ(CallText("ISNUMERIC", {kV20}, {Str("")}), "0");
}

TEST_F(ScalarTest, Dates) {
  StringArena arena;
  const DataType dt = Type(TypeId::DateTime);
  Value march5 = CastValue(Str("2024-03-05 10:20:30"), dt, arena);
  EXPECT_EQ(CallText("YEAR", {dt}, {march5}), "2024");
  EXPECT_EQ(CallText("MONTH", {kV20}, {Str("2024-03-05")}), "3");
  EXPECT_EQ(CallText("DAY", {dt}, {march5}), "5");
  EXPECT_EQ(Show(Call("DATEPART", {dt}, {march5}, "hh")), "10");
  EXPECT_EQ(Show(Call("DATENAME", {dt}, {march5}, "month")), "'March'");
  EXPECT_EQ(Show(Call("DATENAME", {dt}, {march5}, "weekday")), "'Tuesday'");
  Value next = Call("DATEADD", {kInt, dt}, {Int(1), march5}, "month");
  EXPECT_EQ(next.dt, CastValue(Str("2024-04-05 10:20:30"), dt, arena).dt);
  EXPECT_EQ(Show(Call("DATEDIFF", {dt, dt}, {march5, next}, "day")), "31");
  ExpectSqlError(155, "'fortnight' is not a recognized dateadd option.",
                 [&] { Call("DATEADD", {kInt, dt}, {Int(1), march5}, "fortnight"); });
  ExpectSqlError(174, "The datediff function requires 3 argument(s).",
                 [&] { FindScalarFunction("DATEDIFF")->result_type(std::vector<DataType>{dt}, "day"); });
  ExpectSqlError(517, "", [&] { Call("DATEADD", {kInt, dt}, {Int(9000), march5}, "year"); });
  EXPECT_EQ(Call("GETDATE", {}, {}).type, TypeId::DateTime);
}

}  // namespace
}  // namespace orv::engine::test
