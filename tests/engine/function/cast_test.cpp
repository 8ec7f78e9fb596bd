// CAST/CONVERT samples across the type matrix: values worked out by hand and
// SQL Server's exact error numbers and texts.
#include <gtest/gtest.h>

#include "engine/function/scalar.h"
#include "function_test_util.h"

namespace orv::engine::test {
namespace {

class CastTest : public ::testing::Test {
 protected:
  Value Cast(const Value& v, const DataType& target, int style = -1) { return CastValue(v, target, arena_, style); }
  std::string CastText(const Value& v, const DataType& target, int style = -1) { return Show(Cast(v, target, style)); }
  StringArena arena_;
};

TEST_F(CastTest, TextToInt) {
  EXPECT_EQ(CastText(Str("  42 "), Type(TypeId::Int)), "42");
  EXPECT_EQ(CastText(Str("-7"), Type(TypeId::Int)), "-7");
  EXPECT_EQ(CastText(Str("+0012"), Type(TypeId::Int)), "12");
  // SQL Server reads the empty string as 0 for int.
  EXPECT_EQ(CastText(Str(""), Type(TypeId::Int)), "0");
  ExpectSqlError(245, "Conversion failed when converting the varchar value '1.5' to data type int.",
                 [&] { Cast(Str("1.5"), Type(TypeId::Int)); });
  ExpectSqlError(245, "Conversion failed when converting the nvarchar value 'abc' to data type int.",
                 [&] { Cast(Str("abc", TypeId::NVarChar), Type(TypeId::Int)); });
  ExpectSqlError(248, "The conversion of the varchar value '3000000000' overflowed an int column.",
                 [&] { Cast(Str("3000000000"), Type(TypeId::Int)); });
  ExpectSqlError(244, "The conversion of the varchar value '300' overflowed an INT1 column. Use a larger integer column.",
                 [&] { Cast(Str("300"), Type(TypeId::TinyInt)); });
}

TEST_F(CastTest, TextToBit) {
  EXPECT_EQ(CastText(Str("TRUE"), Type(TypeId::Bit)), "1");
  EXPECT_EQ(CastText(Str("false"), Type(TypeId::Bit)), "0");
  EXPECT_EQ(CastText(Str("7"), Type(TypeId::Bit)), "1");
  ExpectSqlError(245, "Conversion failed when converting the varchar value 'yes' to data type bit.",
                 [&] { Cast(Str("yes"), Type(TypeId::Bit)); });
}

TEST_F(CastTest, TextToDecimalMoneyFloat) {
  EXPECT_EQ(CastText(Str(" 12.345 "), Type(TypeId::Decimal, 5, 2)), "12.35");
  ExpectSqlError(8114, "Error converting data type varchar to numeric.",
                 [&] { Cast(Str(""), Type(TypeId::Decimal, 5, 2)); });
  ExpectSqlError(8114, "Error converting data type nvarchar to numeric.",
                 [&] { Cast(Str("1e5", TypeId::NVarChar), Type(TypeId::Decimal, 18, 0)); });
  ExpectSqlError(8115, "Arithmetic overflow error converting varchar to data type numeric.",
                 [&] { Cast(Str("1234.5"), Type(TypeId::Decimal, 5, 2)); });
  EXPECT_EQ(CastText(Str("$1,234.5"), Type(TypeId::Money, 19, 4)), "1234.5000");
  EXPECT_EQ(CastText(Str(""), Type(TypeId::Money, 19, 4)), "0.0000");
  ExpectSqlError(235, "Cannot convert a char value to money. The char value has incorrect syntax.",
                 [&] { Cast(Str("abc"), Type(TypeId::Money, 19, 4)); });
  EXPECT_DOUBLE_EQ(Cast(Str(" 1.5e3 "), Type(TypeId::Float)).f, 1500.0);
  EXPECT_DOUBLE_EQ(Cast(Str(""), Type(TypeId::Float)).f, 0.0);
  ExpectSqlError(8114, "Error converting data type varchar to float.", [&] { Cast(Str("nan"), Type(TypeId::Float)); });
  ExpectSqlError(8114, "Error converting data type varchar to float.", [&] { Cast(Str("1e400"), Type(TypeId::Float)); });
}

TEST_F(CastTest, NumberToNarrowerNumber) {
  ExpectSqlError(8115, "Arithmetic overflow error converting int to data type numeric.",
                 [&] { Cast(Int(1000), Type(TypeId::Decimal, 3, 0)); });
  ExpectSqlError(8115, "Arithmetic overflow error converting numeric to data type numeric.",
                 [&] { Cast(Dec("123.45", 5, 2), Type(TypeId::Decimal, 4, 2)); });
  ExpectSqlError(220, "Arithmetic overflow error for data type smallint, value = 40000.",
                 [&] { Cast(Int(40000), Type(TypeId::SmallInt)); });
  ExpectSqlError(220, "Arithmetic overflow error for data type tinyint, value = -1.",
                 [&] { Cast(Int(-1), Type(TypeId::TinyInt)); });
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type int.",
                 [&] { Cast(Int(3000000000, TypeId::BigInt), Type(TypeId::Int)); });
  ExpectSqlError(8115, "Arithmetic overflow error converting numeric to data type int.",
                 [&] { Cast(Dec("3000000000.5", 11, 1), Type(TypeId::Int)); });
  ExpectSqlError(232, "Arithmetic overflow error for type tinyint, value = 12345.120000.",
                 [&] { Cast(Value::Double(12345.12), Type(TypeId::TinyInt)); });
}

TEST_F(CastTest, RoundingAndTruncation) {
  // numeric to int drops the fraction, money to int rounds, float truncates.
  EXPECT_EQ(CastText(Dec("-12.99", 4, 2), Type(TypeId::Int)), "-12");
  EXPECT_EQ(CastText(Dec("2.5", 19, 4, TypeId::Money), Type(TypeId::Int)), "3");
  EXPECT_EQ(CastText(Value::Double(-7.9), Type(TypeId::Int)), "-7");
  // Decimal to a smaller scale rounds half away from zero.
  EXPECT_EQ(CastText(Dec("2.345", 4, 3), Type(TypeId::Decimal, 3, 2)), "2.35");
  EXPECT_EQ(CastText(Dec("-2.345", 4, 3), Type(TypeId::Decimal, 3, 2)), "-2.35");
  EXPECT_EQ(CastText(Int(5), Type(TypeId::Decimal, 28, 10)), "5.0000000000");
  EXPECT_EQ(CastText(Value::Double(0.125), Type(TypeId::Decimal, 5, 2)), "0.13");
}

TEST_F(CastTest, NumbersToText) {
  EXPECT_EQ(CastText(Int(-42), Text(TypeId::VarChar, 30)), "'-42'");
  EXPECT_EQ(CastText(Dec("12.34", 28, 4), Text(TypeId::VarChar, 30)), "'12.3400'");
  EXPECT_EQ(CastText(Value::Double(1234567), Text(TypeId::VarChar, 30)), "'1.23457e+006'");
  EXPECT_EQ(CastText(Value::Double(123456), Text(TypeId::VarChar, 30)), "'123456'");
  EXPECT_EQ(CastText(Value::Double(0.1), Text(TypeId::VarChar, 30)), "'0.1'");
  EXPECT_EQ(CastText(Dec("1234.5678", 19, 4, TypeId::Money), Text(TypeId::VarChar, 30)), "'1234.57'");
  EXPECT_EQ(CastText(Dec("1234567.5", 19, 4, TypeId::Money), Text(TypeId::VarChar, 30), 1), "'1,234,567.50'");
  EXPECT_EQ(CastText(Dec("1234.5", 19, 4, TypeId::Money), Text(TypeId::VarChar, 30), 2), "'1234.5000'");
  EXPECT_EQ(CastText(Int(1, TypeId::Bit), Text(TypeId::VarChar, 30)), "'1'");
  // An integer too long for char/varchar becomes '*'; for nvarchar and for
  // decimals it is an error.
  EXPECT_EQ(CastText(Int(12345), Text(TypeId::VarChar, 3)), "'*'");
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type nvarchar.",
                 [&] { Cast(Int(12345), Text(TypeId::NVarChar, 3)); });
  ExpectSqlError(8115, "Arithmetic overflow error converting numeric to data type varchar.",
                 [&] { Cast(Dec("123.45", 5, 2), Text(TypeId::VarChar, 4)); });
}

TEST_F(CastTest, TextToText) {
  // Strings cut silently by CAST; CHAR pads; Chinese survives nvarchar to
  // varchar and is cut by characters, two code-page bytes each.
  EXPECT_EQ(CastText(Str("abcdef"), Text(TypeId::VarChar, 3)), "'abc'");
  EXPECT_EQ(CastText(Str("ab"), Text(TypeId::Char, 4)), "'ab  '");
  EXPECT_EQ(CastText(Str("固定资产", TypeId::NVarChar), Text(TypeId::VarChar, 30)), "'固定资产'");
  EXPECT_EQ(CastText(Str("固定资产", TypeId::NVarChar), Text(TypeId::VarChar, 5)), "'固定'");
  EXPECT_EQ(CastText(Str("固定资产"), Text(TypeId::NVarChar, 3)), "'固定资'");
  EXPECT_EQ(Cast(Str("x"), Text(TypeId::NVarChar, 3)).type, TypeId::NVarChar);
  EXPECT_EQ(TextLength(TypeId::VarChar, "a固定"), 5);
  EXPECT_EQ(TextLength(TypeId::NVarChar, "a固定"), 3);
}

TEST_F(CastTest, DateTimeConversions) {
  EXPECT_EQ(Cast(Str("1900-01-02"), Type(TypeId::DateTime)).dt, kTicksPerDay);
  EXPECT_EQ(Cast(Int(2), Type(TypeId::DateTime)).dt, 2 * kTicksPerDay);
  EXPECT_EQ(Cast(Value::Double(1.5), Type(TypeId::DateTime)).dt, kTicksPerDay * 3 / 2);
  ExpectSqlError(241, "Conversion failed when converting date and/or time from character string.",
                 [&] { Cast(Str("not a date"), Type(TypeId::DateTime)); });
  ExpectSqlError(8115, "Arithmetic overflow error converting expression to data type datetime.",
                 [&] { Cast(Int(3000000), Type(TypeId::DateTime)); });
  // A date of the right shape with a part out of range is 242, not 241.
  ExpectSqlError(242, "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.",
                 [&] { Cast(Str("2023-02-29"), Type(TypeId::DateTime)); });
  ExpectSqlError(242, "The conversion of a nvarchar data type to a datetime data type resulted in an out-of-range value.",
                 [&] { Cast(Str("13/01/2024", TypeId::NVarChar), Type(TypeId::DateTime)); });
  ExpectSqlError(241, "", [&] { Cast(Str("2024-01-01x"), Type(TypeId::DateTime)); });
  // Day-first styles read 05/03/2024 as 5 March.
  Value march = Cast(Str("2024-03-05"), Type(TypeId::DateTime));
  EXPECT_EQ(Cast(Str("05/03/2024"), Type(TypeId::DateTime), 103).dt, march.dt);
  EXPECT_EQ(CastText(march, Text(TypeId::VarChar, 10), 120), "'2024-03-05'");
  EXPECT_EQ(CastText(march, Text(TypeId::VarChar, 30), 112), "'20240305'");
  // datetime to int rounds to the nearest day.
  EXPECT_EQ(CastText(Value::DateTime(kTicksPerDay * 3 / 2), Type(TypeId::Int)), "2");
  EXPECT_EQ(CastText(Value::DateTime(kTicksPerDay / 4), Type(TypeId::Int)), "0");
}

TEST_F(CastTest, NullStaysNullOfTarget) {
  Value v = Cast(Value::Null(TypeId::Int), Text(TypeId::NVarChar, 5));
  EXPECT_TRUE(v.is_null);
  EXPECT_EQ(v.type, TypeId::NVarChar);
}

}  // namespace
}  // namespace orv::engine::test
