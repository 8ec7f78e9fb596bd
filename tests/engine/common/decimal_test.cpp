// Exact decimals: result types of each operator (with the cut to 38 digits),
// 256-bit products and quotients, rounding at .5, overflow, text in and out.
// Expected values are worked out by hand from the operands.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/common/decimal.h"
#include "engine/common/errors.h"

namespace orv::engine::decimal {
namespace {

// An unscaled value written out in digits (for values past 64 bits).
Int128 Digits(const std::string& text) {
  Int128 v = 0;
  bool negative = text[0] == '-';
  for (size_t i = negative ? 1 : 0; i < text.size(); ++i) v = v * 10 + (text[i] - '0');
  return negative ? -v : v;
}

std::string Str(Int128 v) { return ToString(v, 0); }

void ExpectType(Type t, int precision, int scale) {
  EXPECT_EQ(t.precision, precision);
  EXPECT_EQ(t.scale, scale);
}

TEST(DecimalType, AddKeepsTheWiderIntegralPartPlusACarryDigit) {
  ExpectType(AddType({5, 2}, {7, 3}), 8, 3);
  // 39 digits needed: the integral part (29 with the carry) keeps its room, scale 9.
  ExpectType(AddType({38, 10}, {38, 10}), 38, 9);
  // Integral part 39 > 32: the scale falls to 6.
  ExpectType(AddType({38, 0}, {38, 38}), 38, 6);
}

TEST(DecimalType, MultiplyReducesTheScaleOnlyDownToSix) {
  ExpectType(MultiplyType({5, 2}, {4, 1}), 10, 3);
  ExpectType(MultiplyType({23, 10}, {23, 10}), 38, 11);  // p 47, s 20, integral 27
  ExpectType(MultiplyType({30, 20}, {30, 20}), 38, 17);  // p 61, s 40, integral 21
  ExpectType(MultiplyType({30, 10}, {30, 10}), 38, 6);   // integral 41 > 32
  ExpectType(MultiplyType({38, 10}, {38, 10}), 38, 6);   // p 77, s 20, integral 57
  // A scale already below 6 is kept even when the integral part is huge.
  ExpectType(MultiplyType({38, 2}, {38, 2}), 38, 4);
}

TEST(DecimalType, DivideModuloAndAggregates) {
  ExpectType(DivideType({10, 0}, {2, 1}), 17, 6);   // INT / 3.0
  ExpectType(DivideType({23, 10}, {23, 10}), 38, 15);  // p 57, s 34, integral 23
  ExpectType(DivideType({38, 0}, {38, 0}), 38, 6);     // p 77, s 39, integral 38
  ExpectType(ModuloType({10, 2}, {5, 3}), 5, 3);
  ExpectType(SumType({23, 10}), 38, 10);
  ExpectType(AvgType({10, 2}), 38, 6);
  ExpectType(AvgType({23, 10}), 38, 10);
}

TEST(DecimalArithmetic, AddAndSubtractAlignScales) {
  EXPECT_EQ(Add(125, 2, 755, 3, {5, 3}), Int128(2005));         // 1.25 + 0.755
  EXPECT_EQ(Subtract(100, 2, 2505, 3, {5, 3}), Int128(-1505));  // 1.00 - 2.505
  EXPECT_EQ(Subtract(5, 0, 5, 0, {2, 0}), Int128(0));
  // Scale cut from 10 to 9: 0.0000000005 rounds half away from zero.
  EXPECT_EQ(Add(5, 10, 0, 10, {38, 9}), Int128(1));
  EXPECT_EQ(Add(-5, 10, 0, 10, {38, 9}), Int128(-1));
  EXPECT_EQ(Add(4, 10, 0, 10, {38, 9}), Int128(0));
  EXPECT_EQ(Add(99999, 0, 1, 0, {5, 0}), std::nullopt);
  EXPECT_EQ(Add(-99999, 0, -1, 0, {6, 0}), Int128(-100000));
}

TEST(DecimalArithmetic, MultiplyRoundsToTheResultScale) {
  EXPECT_EQ(Multiply(15, 1, -225, 2, {6, 3}), Int128(-3375));  // 1.5 * -2.25
  // 0.0000009000 * 1.0000000000 as decimal(38,6) is 0.000001.
  EXPECT_EQ(Multiply(9000, 10, Digits("10000000000"), 10, {38, 6}), Int128(1));
  EXPECT_EQ(Multiply(5, 1, 1, 1, {2, 1}), Int128(1));    // 0.05 -> 0.1
  EXPECT_EQ(Multiply(-5, 1, 1, 1, {2, 1}), Int128(-1));  // -0.05 -> -0.1
  EXPECT_EQ(Multiply(4, 1, 1, 1, {2, 1}), Int128(0));    // 0.04 -> 0.0
  EXPECT_EQ(Multiply(Digits("9999999999999999999"), 0, 10, 0, {19, 0}), std::nullopt);
}

TEST(DecimalArithmetic, MultiplyTwo38DigitNumbersThrough256Bits) {
  // 12345678901234567890.123456789012345678 * 1.0000000000000000000000000000000000001:
  // the 76-digit product is a + a*10^-37, rounded to decimal(38,16).
  Type t = MultiplyType({38, 18}, {38, 37});
  ExpectType(t, 38, 16);
  auto r = Multiply(Digits("12345678901234567890123456789012345678"), 18,
                    Digits("10000000000000000000000000000000000001"), 37, t);
  ASSERT_TRUE(r);
  EXPECT_EQ(Str(*r), "123456789012345678901234567890123457");
  EXPECT_EQ(Multiply(Digits("99999999999999999999999999999999999999"), 0,
                     Digits("99999999999999999999999999999999999999"), 0, {38, 0}),
            std::nullopt);
}

TEST(DecimalArithmetic, DivideTruncatesAtTheResultScale) {
  EXPECT_EQ(Divide(2, 0, 30, 1, {17, 6}), Int128(666666));  // 2 / 3.0
  EXPECT_EQ(Divide(1, 0, 30, 1, {17, 6}), Int128(333333));
  EXPECT_EQ(Divide(-2, 0, 30, 1, {17, 6}), Int128(-666666));
  EXPECT_EQ(Divide(-1, 0, 3, 0, {17, 0}), Int128(0));  // no negative zero
  // 4e30 / 0.25: the scaled dividend 4e38 is past 128 bits.
  auto big = Divide(Digits("4000000000000000000000000000000"), 0, 25, 2, {38, 6});
  ASSERT_TRUE(big);
  EXPECT_EQ(Str(*big), "16000000000000000000000000000000000000");
  // A divisor past 64 bits and a dividend past 128: long division.
  auto wide = Divide(Digits("98765432109876543210987654321098765432"), 0,
                     Digits("123456789012345678901234567890"), 10, {38, 6});
  ASSERT_TRUE(wide);
  EXPECT_EQ(Str(*wide), "8000000072900000663390006");
  EXPECT_EQ(Divide(Digits("99999999999999999999999999999999999999"), 0, 1, 1, {38, 6}), std::nullopt);
}

TEST(DecimalArithmetic, ModuloTakesTheSignOfTheDividend) {
  EXPECT_EQ(Modulo(105, 1, 3, 0, {2, 1}), Int128(15));    // 10.5 % 3 = 1.5
  EXPECT_EQ(Modulo(-105, 1, 3, 0, {2, 1}), Int128(-15));
  EXPECT_EQ(Modulo(105, 1, -3, 0, {2, 1}), Int128(15));
  EXPECT_EQ(Modulo(9, 0, 3, 0, {1, 0}), Int128(0));
}

TEST(DecimalArithmetic, ZeroDivisorRaises8134) {
  for (bool modulo : {false, true}) {
    try {
      modulo ? Modulo(1, 0, 0, 2, {5, 2}) : Divide(1, 0, 0, 2, {5, 2});
      FAIL() << "no error";
    } catch (const SqlError& e) {
      EXPECT_EQ(e.number(), 8134);
    }
  }
}

TEST(DecimalArithmetic, CompareAcrossScales) {
  EXPECT_EQ(Compare(150, 2, 15, 1), 0);
  EXPECT_EQ(Compare(-1, 0, 5, 1), -1);
  EXPECT_EQ(Compare(5, 0, 49999, 4), 1);
  EXPECT_EQ(Compare(-5, 0, -49999, 4), -1);
  EXPECT_EQ(Compare(Digits("99999999999999999999999999999999999999"), 0, 1, 38), 1);
}

TEST(DecimalRescale, RoundsHalfAwayOrTruncates) {
  EXPECT_EQ(Rescale(25, 1, 0), Int128(3));
  EXPECT_EQ(Rescale(-25, 1, 0), Int128(-3));
  EXPECT_EQ(Rescale(24, 1, 0), Int128(2));
  EXPECT_EQ(Rescale(12, 0, 2), Int128(1200));
  EXPECT_EQ(RescaleTruncate(29, 1, 0), Int128(2));
  EXPECT_EQ(RescaleTruncate(-29, 1, 0), Int128(-2));
  EXPECT_EQ(TryRescale(12345, 2, 2, 4), std::nullopt);
  EXPECT_EQ(TryRescale(99995, 4, 3, 4), std::nullopt);  // 9.9995 rounds to 10.000
  EXPECT_EQ(TryRescale(99994, 4, 3, 4), Int128(9999));
  try {
    Rescale(Pow10(37), 0, 2);
    FAIL() << "no error";
  } catch (const SqlError& e) {
    EXPECT_EQ(e.number(), 8115);
  }
}

TEST(DecimalDigits, FitsAndDigitCount) {
  EXPECT_TRUE(Fits(99999, 5));
  EXPECT_TRUE(Fits(-99999, 5));
  EXPECT_FALSE(Fits(100000, 5));
  EXPECT_EQ(DigitCount(0), 1);
  EXPECT_EQ(DigitCount(-12345), 5);
  EXPECT_EQ(DigitCount(Pow10(38) - 1), 38);
}

TEST(DecimalText, ToStringAsSqlServerWritesIt) {
  EXPECT_EQ(ToString(-123400, 4), "-12.3400");
  EXPECT_EQ(ToString(5, 1), "0.5");
  EXPECT_EQ(ToString(50, 2), "0.50");
  EXPECT_EQ(ToString(-5, 3), "-0.005");
  EXPECT_EQ(ToString(0, 2), "0.00");
  EXPECT_EQ(ToString(123, 0), "123");
  EXPECT_EQ(ToString(Pow10(10) * 5, 10), "5.0000000000");
  EXPECT_EQ(ToString(Pow10(38) - 1, 38), "0." + std::string(38, '9'));
}

TEST(DecimalText, ParsePlainNumbers) {
  struct Case {
    const char* text;
    long long value;
    int precision, scale;
  };
  for (const Case& c : {Case{"  -12.34 ", -1234, 4, 2}, Case{"+5", 5, 1, 0}, Case{".5", 5, 1, 1},
                        Case{"5.", 5, 1, 0}, Case{"007.50", 750, 3, 2}, Case{"0.00", 0, 2, 2},
                        Case{"0.05", 5, 2, 2}, Case{"-0", 0, 1, 0}, Case{"\t12\n", 12, 2, 0}}) {
    auto p = Parse(c.text);
    ASSERT_TRUE(p) << c.text;
    EXPECT_EQ(p->value, Int128(c.value)) << c.text;
    EXPECT_EQ(p->precision, c.precision) << c.text;
    EXPECT_EQ(p->scale, c.scale) << c.text;
  }
  for (const char* bad : {"", " ", "1e5", "1.2.3", "abc", "- 5", "12a", ".", "+", "1 2", "0x10"}) {
    EXPECT_FALSE(Parse(bad)) << bad;
  }
  EXPECT_FALSE(Parse(std::string(39, '9')));
  // Past 38 significant digits the fraction is rounded: the 38th digit 7 becomes 8.
  auto long_fraction = Parse("1.12345678901234567890123456789012345675");
  ASSERT_TRUE(long_fraction);
  EXPECT_EQ(long_fraction->scale, 37);
  EXPECT_EQ(Str(long_fraction->value), "11234567890123456789012345678901234568");
}

TEST(DecimalText, DoubleConversions) {
  EXPECT_DOUBLE_EQ(ToDouble(12345, 2), 123.45);
  EXPECT_EQ(FromDouble(2.5, 5, 0), Int128(3));
  EXPECT_EQ(FromDouble(-2.5, 5, 0), Int128(-3));
  EXPECT_EQ(FromDouble(0.1, 10, 2), Int128(10));
  EXPECT_EQ(FromDouble(2.675, 5, 2), Int128(267));  // the double is just below 2.675
  EXPECT_EQ(FromDouble(1e10, 5, 0), std::nullopt);
  EXPECT_EQ(FromDouble(std::nan(""), 5, 0), std::nullopt);
}

}  // namespace
}  // namespace orv::engine::decimal
