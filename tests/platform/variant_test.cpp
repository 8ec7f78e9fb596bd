// Automation values: the runtime's conversions, their error numbers, and the
// comparison rules the reports' condition tests depend on.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/automation_error.h"
#include "platform/host_objects.h"
#include "platform/variant.h"
#include "tests/platform/platform_test_util.h"

namespace orv::platform {
namespace {

using testing::ErrorOf;

TEST(VariantText, CStrOfEachType) {
  EXPECT_EQ(Variant().ToString(), "");
  EXPECT_EQ(Variant(int16_t{-7}).ToString(), "-7");
  EXPECT_EQ(Variant(123456).ToString(), "123456");
  EXPECT_EQ(Variant(1.5).ToString(), "1.5");
  EXPECT_EQ(Variant(1e20).ToString(), "1E+20");
  EXPECT_EQ(Variant(0.1 + 0.2).ToString(), "0.3");  // 15 significant digits
  EXPECT_EQ(Variant(-0.0).ToString(), "0");
  EXPECT_EQ(Variant(true).ToString(), "True");
  EXPECT_EQ(Variant(false).ToString(), "False");
  EXPECT_EQ(Variant::Currency(15000).ToString(), "1.5");
  EXPECT_EQ(Variant::Currency(-2500).ToString(), "-0.25");
  EXPECT_EQ(Variant::Decimal(1234500000000, 10).ToString(), "123.45");
  EXPECT_EQ(Variant::Decimal(-5, 1).ToString(), "-0.5");
  EXPECT_EQ(Variant::Decimal(0, 10).ToString(), "0");
}

TEST(VariantText, DatesDropAZeroTime) {
  // 45356 is 2024-03-05; .5 is noon.
  EXPECT_EQ(Variant::Date(45356).ToString(), "2024-03-05");
  EXPECT_EQ(Variant::Date(45356.5).ToString(), "2024-03-05 12:00:00");
  EXPECT_EQ(Variant::Date(2).ToString(), "1900-01-01");
  // Before 1899-12-30 the fraction still adds time: -1.25 is 1899-12-29 06:00.
  EXPECT_EQ(Variant::Date(-1.25).ToString(), "1899-12-29 06:00:00");
  EXPECT_EQ(Variant::Date(-657434.5).ToString(), "0100-01-01 12:00:00");
  EXPECT_EQ(Variant::Date(2958465).ToString(), "9999-12-31");
  // Outside the runtime's date range a Date cannot exist.
  EXPECT_EQ(ErrorOf([] { (void)Variant::Date(2958466); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { (void)Variant::Date(-657435); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { (void)Variant::Date(1e300); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { (void)Variant::Date(std::nan("")); }), kErrOverflow);
}

TEST(VariantText, LengthCountsCharactersNotBytes) {
  EXPECT_EQ(Variant("合计").TextLength(), 2u);
  EXPECT_EQ(Variant("ab").TextLength(), 2u);
  EXPECT_EQ(Variant().TextLength(), 0u);
  EXPECT_EQ(Variant::Null().TextLength(), 0u);
  EXPECT_EQ(Variant(int16_t{-1}).TextLength(), 2u);
  EXPECT_EQ(Variant(0).TextLength(), 1u);  // a 0 condition is set, not empty
}

TEST(VariantConversion, NullIsInvalidUse) {
  EXPECT_EQ(ErrorOf([] { (void)Variant::Null().ToString(); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorOf([] { (void)Variant::Null().ToDouble(); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorOf([] { (void)Variant::Null().ToLong(); }), kErrInvalidUseOfNull);
}

TEST(VariantConversion, NumericText) {
  EXPECT_DOUBLE_EQ(Variant("  12.5 ").ToDouble(), 12.5);
  EXPECT_DOUBLE_EQ(Variant("-3").ToDouble(), -3);
  EXPECT_DOUBLE_EQ(Variant(".5").ToDouble(), 0.5);
  EXPECT_DOUBLE_EQ(Variant("1E3").ToDouble(), 1000);
  EXPECT_TRUE(Variant("+7").IsNumeric());
  EXPECT_TRUE(Variant().IsNumeric());
  EXPECT_FALSE(Variant("").IsNumeric());
  EXPECT_FALSE(Variant("&H10").IsNumeric());
  EXPECT_FALSE(Variant("1 2").IsNumeric());
  EXPECT_FALSE(Variant("inf").IsNumeric());
  EXPECT_FALSE(Variant("0x1A").IsNumeric());
  EXPECT_FALSE(Variant::Null().IsNumeric());
  EXPECT_EQ(ErrorOf([] { (void)Variant("abc").ToDouble(); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { (void)Variant("").ToLong(); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { (void)Variant("1E999").ToDouble(); }), kErrOverflow);
}

TEST(VariantConversion, IntegersRoundHalfToEvenAndOverflow) {
  EXPECT_EQ(Variant(2.5).ToInteger(), 2);
  EXPECT_EQ(Variant(3.5).ToInteger(), 4);
  EXPECT_EQ(Variant(-2.5).ToInteger(), -2);
  EXPECT_EQ(Variant("2.5").ToLong(), 2);
  EXPECT_EQ(Variant::Decimal(25, 1).ToLong(), 2);
  EXPECT_EQ(Variant::Decimal(35, 1).ToLong(), 4);
  EXPECT_EQ(Variant::Decimal(-251, 2).ToLong(), -3);
  EXPECT_EQ(Variant::Currency(15000).ToInteger(), 2);
  // A fraction of 38 digits just above one half rounds up, one just below down.
  const __int128 e37 = static_cast<__int128>(10000000000000000000ull) * static_cast<__int128>(1000000000000000000ull);
  EXPECT_EQ(Variant::Decimal(5 * e37 + 1, 38).ToLong(), 1);
  EXPECT_EQ(Variant::Decimal(5 * e37 - 1, 38).ToLong(), 0);
  EXPECT_EQ(Variant::Decimal(-5 * e37, 38).ToLong(), 0);  // exactly -0.5: to even
  EXPECT_EQ(Variant(true).ToInteger(), -1);
  EXPECT_EQ(Variant().ToLong(), 0);
  EXPECT_EQ(Variant("32767").ToInteger(), 32767);
  EXPECT_EQ(Variant("-32768").ToInteger(), -32768);
  EXPECT_EQ(ErrorOf([] { (void)Variant("40000").ToInteger(); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { (void)Variant(32767.5).ToInteger(); }), kErrOverflow);  // rounds to 32768
  EXPECT_EQ(ErrorOf([] { (void)Variant(3e9).ToLong(); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { (void)Variant::Decimal(21474836475, 1).ToLong(); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { (void)Variant("abc").ToInteger(); }), kErrTypeMismatch);
}

TEST(VariantConversion, BooleansAndObjects) {
  EXPECT_TRUE(Variant(" true ").ToBool());
  EXPECT_FALSE(Variant("False").ToBool());
  EXPECT_TRUE(Variant("-1").ToBool());
  EXPECT_FALSE(Variant(0).ToBool());
  EXPECT_EQ(ErrorOf([] { (void)Variant("yes").ToBool(); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { (void)Variant(1).ToObject(); }), kErrTypeMismatch);
  auto dictionary = std::make_shared<ConditionDictionary>();
  EXPECT_EQ(Variant(std::static_pointer_cast<Object>(dictionary)).ToObject(), dictionary);
  EXPECT_EQ(ErrorOf([] { (void)Variant(std::make_shared<ConditionDictionary>()).ToString(); }), kErrTypeMismatch);
}

TEST(VariantCompare, EmptyEqualsZeroAndEmptyText) {
  EXPECT_TRUE(Equals(Variant(), Variant("")));
  EXPECT_TRUE(Equals(Variant(), Variant(0)));
  EXPECT_TRUE(Equals(Variant(), Variant()));
  EXPECT_FALSE(GreaterThan(Variant(), Variant(0)));
  EXPECT_TRUE(GreaterThan(Variant(1), Variant()));
  EXPECT_TRUE(GreaterThan(Variant("a"), Variant()));
}

TEST(VariantCompare, NumericTextComparesAsItsNumber) {
  EXPECT_TRUE(GreaterOrEqual(Variant("1"), Variant(0)));
  EXPECT_TRUE(GreaterThan(Variant("10"), Variant(9)));      // as text "10" < "9"
  EXPECT_TRUE(Equals(Variant(" 5 "), Variant(int16_t{5})));
  EXPECT_TRUE(GreaterThan(Variant(int16_t{0}), Variant("-1")));
  EXPECT_EQ(ErrorOf([] { (void)GreaterThan(Variant("abc"), Variant(0)); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { (void)Equals(Variant(0), Variant("")); }), kErrTypeMismatch);
}

TEST(VariantCompare, TextsCompareBinary) {
  EXPECT_TRUE(GreaterThan(Variant("b"), Variant("B")));  // binary: lower case after upper
  EXPECT_TRUE(GreaterThan(Variant("9"), Variant("10")));  // two texts never compare as numbers
  EXPECT_TRUE(Equals(Variant("合计"), Variant("合计")));
  EXPECT_TRUE(GreaterThan(Variant("ab"), Variant("a")));
}

TEST(VariantCompare, NullMakesTheComparisonNull) {
  const Comparison c = Compare(Variant::Null(), Variant(0));
  EXPECT_TRUE(c.is_null);
  EXPECT_FALSE(Equals(Variant::Null(), Variant::Null()));
  EXPECT_FALSE(GreaterThan(Variant(1), Variant::Null()));
  EXPECT_FALSE(GreaterOrEqual(Variant::Null(), Variant("")));
}

TEST(VariantCompare, ExactNumbersCompareExactly) {
  // 0.1 + 0.2 as decimals is exactly 0.3; as doubles it is not.
  EXPECT_TRUE(Equals(Variant::Decimal(3, 1), Variant::Decimal(30000000000, 11)));
  EXPECT_TRUE(GreaterThan(Variant::Decimal(10000000000000000001ull, 19), Variant(1)));
  EXPECT_TRUE(GreaterThan(Variant::Decimal(-12, 1), Variant::Decimal(-15, 1)));
  EXPECT_TRUE(Equals(Variant::Currency(10000), Variant(true) /* -1 */) == false);
  EXPECT_TRUE(Equals(Variant::Currency(-10000), Variant(true)));
  EXPECT_TRUE(GreaterThan(Variant(2.5), Variant::Decimal(24, 1)));
}

TEST(VariantCompare, DateBesideDateText) {
  EXPECT_TRUE(Equals(Variant::Date(45356), Variant("2024-03-05")));
  EXPECT_TRUE(GreaterThan(Variant("2024-03-06"), Variant::Date(45356)));
}

}  // namespace
}  // namespace orv::platform
