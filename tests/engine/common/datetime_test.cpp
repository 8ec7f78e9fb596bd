// DATETIME: ticks from parts and the 1/300 s rounding, every accepted text
// form and the rejected ones, the CONVERT styles, DATEPART, DATEADD's month
// end clamp and DATEDIFF's boundary counting. Day numbers are counted by hand
// from 1900-01-01 (2024-03-05 is day 45354).
#include <gtest/gtest.h>

#include "engine/common/datetime.h"
#include "engine/common/value.h"

namespace orv::engine::datetime {
namespace {

constexpr int64_t kOneDay = kTicksPerDay;
constexpr int64_t kOneHour = 3600 * kTicksPerSecond;

int64_t At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  std::optional<int64_t> t = FromParts({y, mo, d, h, mi, s, ms});
  EXPECT_TRUE(t) << y << "-" << mo << "-" << d;
  return t.value_or(0);
}

std::string Text(int64_t ticks, int style) { return Format(ticks, style).value_or("<none>"); }

TEST(DateTimeParts, TicksCountFrom1900) {
  EXPECT_EQ(At(1900, 1, 1), 0);
  EXPECT_EQ(At(1900, 1, 2), kOneDay);
  EXPECT_EQ(At(2024, 3, 5), 45354 * kOneDay);
  EXPECT_EQ(At(1753, 1, 1), -53690 * kOneDay);
  EXPECT_EQ(At(1899, 12, 31, 12), -kOneDay + 12 * kOneHour);
  Parts p = ToParts(At(1899, 12, 31, 23, 59, 59, 997));
  EXPECT_EQ(p.year, 1899);
  EXPECT_EQ(p.day, 31);
  EXPECT_EQ(p.hour, 23);
  EXPECT_EQ(p.millisecond, 997);
}

TEST(DateTimeParts, MillisecondsRoundToThreeHundredthsOfASecond) {
  int64_t base = At(2024, 3, 5, 10, 20, 30);
  EXPECT_EQ(At(2024, 3, 5, 10, 20, 30, 1), base);      // .001 -> .000
  EXPECT_EQ(At(2024, 3, 5, 10, 20, 30, 2), base + 1);  // .002 -> .003
  EXPECT_EQ(At(2024, 3, 5, 10, 20, 30, 5), base + 2);  // .005 -> .007
  EXPECT_EQ(ToParts(base + 1).millisecond, 3);
  EXPECT_EQ(ToParts(base + 2).millisecond, 7);
  EXPECT_EQ(ToParts(At(2024, 3, 5, 10, 20, 30, 994)).millisecond, 993);
  EXPECT_EQ(ToParts(At(2024, 3, 5, 10, 20, 30, 995)).millisecond, 997);
  // .999 rounds into the next second, here the next day.
  EXPECT_EQ(At(2024, 3, 5, 23, 59, 59, 999), At(2024, 3, 6));
}

TEST(DateTimeParts, RangeAndInvalidDates) {
  EXPECT_FALSE(FromParts({1752, 12, 31, 0, 0, 0, 0}));
  EXPECT_FALSE(FromParts({2024, 2, 30, 0, 0, 0, 0}));
  EXPECT_FALSE(FromParts({2023, 2, 29, 0, 0, 0, 0}));
  EXPECT_FALSE(FromParts({2023, 13, 1, 0, 0, 0, 0}));
  EXPECT_FALSE(FromParts({2023, 1, 1, 24, 0, 0, 0}));
  EXPECT_TRUE(FromParts({2000, 2, 29, 0, 0, 0, 0}));
  EXPECT_FALSE(FromParts({1900, 2, 29, 0, 0, 0, 0}));
  EXPECT_EQ(ToParts(At(9999, 12, 31, 23, 59, 59, 998)).millisecond, 997);
  EXPECT_FALSE(FromParts({9999, 12, 31, 23, 59, 59, 999}));
}

TEST(DateTimeParse, AcceptedForms) {
  struct Case {
    const char* text;
    int64_t ticks;
  };
  const int64_t march5 = At(2024, 3, 5);
  for (const Case& c : {
           Case{"2024-03-05T10:20:30", At(2024, 3, 5, 10, 20, 30)},
           Case{"2024-03-05T10:20:30.123", At(2024, 3, 5, 10, 20, 30, 123)},
           Case{"2024-03-05 10:20:30.123", At(2024, 3, 5, 10, 20, 30, 123)},
           Case{"2024-03-05", march5},
           Case{"2024-3-5", march5},
           Case{"2024/03/05 00:00:00", march5},
           Case{"2024.03.05", march5},
           Case{"20240305", march5},
           Case{"240305", march5},
           Case{"20240305 10:20", At(2024, 3, 5, 10, 20)},
           Case{"03/05/2024", march5},
           Case{"3-5-2024", march5},
           Case{"3.5.2024", march5},
           Case{"03/05/24", march5},
           Case{"03/05/49", At(2049, 3, 5)},
           Case{"03/05/50", At(1950, 3, 5)},
           Case{"Mar 5 2024", march5},
           Case{"5 Mar 2024", march5},
           Case{"March 5, 2024", march5},
           Case{"MARCH 5 2024 10:20AM", At(2024, 3, 5, 10, 20)},
           Case{"2024 March 5", march5},
           Case{"5-Mar-2024", march5},
           Case{"Mar 2024", At(2024, 3, 1)},
           Case{"2024", At(2024, 1, 1)},
           Case{"  2024-03-05  ", march5},
           Case{"10:20", At(1900, 1, 1, 10, 20)},
           Case{"2024-03-05 12:00 AM", march5},
           Case{"2024-03-05 12:30PM", At(2024, 3, 5, 12, 30)},
           Case{"2024-03-05 1:05 pm", At(2024, 3, 5, 13, 5)},
           Case{"2024-03-05 10PM", At(2024, 3, 5, 22)},
           Case{"10:20 2024-03-05", At(2024, 3, 5, 10, 20)},
           Case{"2024-03-05 10:20:30.5", At(2024, 3, 5, 10, 20, 30, 500)},
           Case{"2024-03-05 10:20:30:5", At(2024, 3, 5, 10, 20, 30, 5)},  // ':5' is 5 ms
           Case{"", 0},
           Case{"   ", 0},
       }) {
    EXPECT_EQ(Parse(c.text), c.ticks) << '"' << c.text << '"';
  }
}

TEST(DateTimeParse, RejectedForms) {
  for (const char* bad :
       {"2024-02-30", "2023-13-01", "abc", "1752-12-31", "2024-03-05 25:00", "2024-03-05 10:60",
        "2024-03-05 10:20:30.1234", "13/01/2024", "Foo 5 2024", "2024-03-05T10", "2024-03-05 13:00 PM",
        "10:20 11:30", "2024-03", "5 2024", "Mar 5", "2024-03-05 10:20 x", "9999-12-31 23:59:59.999", "1/2/3/4",
        "2024-03-05T10:20:30Z"}) {
    EXPECT_FALSE(Parse(bad)) << '"' << bad << '"';
  }
}

TEST(DateTimeFormat, ConvertStyles) {
  int64_t t = At(2024, 3, 5, 13, 5, 9, 7);
  EXPECT_EQ(Text(At(2024, 3, 5), -1), "Mar  5 2024 12:00AM");
  EXPECT_EQ(Text(t, 0), "Mar  5 2024  1:05PM");
  EXPECT_EQ(Text(At(2024, 12, 25, 10, 20), 100), "Dec 25 2024 10:20AM");
  EXPECT_EQ(Text(At(2024, 12, 25, 12, 0), 100), "Dec 25 2024 12:00PM");
  EXPECT_EQ(Text(t, 1), "03/05/24");
  EXPECT_EQ(Text(t, 101), "03/05/2024");
  EXPECT_EQ(Text(t, 2), "24.03.05");
  EXPECT_EQ(Text(t, 102), "2024.03.05");
  EXPECT_EQ(Text(t, 3), "05/03/24");
  EXPECT_EQ(Text(t, 103), "05/03/2024");
  EXPECT_EQ(Text(t, 4), "05.03.24");
  EXPECT_EQ(Text(t, 104), "05.03.2024");
  EXPECT_EQ(Text(t, 5), "05-03-24");
  EXPECT_EQ(Text(t, 105), "05-03-2024");
  EXPECT_EQ(Text(t, 8), "13:05:09");
  EXPECT_EQ(Text(t, 108), "13:05:09");
  EXPECT_EQ(Text(t, 10), "03-05-24");
  EXPECT_EQ(Text(t, 110), "03-05-2024");
  EXPECT_EQ(Text(t, 11), "24/03/05");
  EXPECT_EQ(Text(t, 111), "2024/03/05");
  EXPECT_EQ(Text(t, 12), "240305");
  EXPECT_EQ(Text(t, 112), "20240305");
  EXPECT_EQ(Text(t, 114), "13:05:09:007");
  EXPECT_EQ(Text(t, 20), "2024-03-05 13:05:09");
  EXPECT_EQ(Text(t, 120), "2024-03-05 13:05:09");
  EXPECT_EQ(Text(t, 121), "2024-03-05 13:05:09.007");
  EXPECT_EQ(Text(t, 23), "2024-03-05");
  EXPECT_EQ(Text(t, 126), "2024-03-05T13:05:09.007");
  EXPECT_EQ(Text(At(2024, 3, 5, 13, 5, 9), 126), "2024-03-05T13:05:09");
  EXPECT_EQ(Text(At(1753, 1, 1), 121), "1753-01-01 00:00:00.000");
  // Month names, seconds with AM/PM, and the later aliases of 108 and 121.
  EXPECT_EQ(Text(t, 6), "05 Mar 24");
  EXPECT_EQ(Text(t, 106), "05 Mar 2024");
  EXPECT_EQ(Text(t, 7), "Mar 05, 24");
  EXPECT_EQ(Text(t, 107), "Mar 05, 2024");
  EXPECT_EQ(Text(t, 9), "Mar  5 2024  1:05:09:007PM");
  EXPECT_EQ(Text(At(2024, 12, 25, 0, 20), 109), "Dec 25 2024 12:20:00:000AM");
  EXPECT_EQ(Text(t, 13), "05 Mar 2024 13:05:09:007");
  EXPECT_EQ(Text(t, 113), "05 Mar 2024 13:05:09:007");
  EXPECT_EQ(Text(t, 22), "03/05/24  1:05:09 PM");
  EXPECT_EQ(Text(At(2024, 12, 25, 11, 59, 59), 22), "12/25/24 11:59:59 AM");
  EXPECT_EQ(Text(t, 24), "13:05:09");
  EXPECT_EQ(Text(t, 25), "2024-03-05 13:05:09.007");
  EXPECT_FALSE(Format(t, 999));
  EXPECT_FALSE(Format(t, 15));
}

TEST(DateTimeFormat, MdyAndYmdStylesReadBack) {
  int64_t t = At(2024, 11, 7, 21, 45, 12, 347);
  for (int style : {0, 100, 101, 102, 110, 111, 112, 120, 121, 126, 23, 1, 10, 12}) {
    std::string text = Text(t, style);
    std::optional<int64_t> back = Parse(text);
    ASSERT_TRUE(back) << text;
    EXPECT_EQ(Format(*back, style), text) << style;
  }
  // Day-first styles are read month-first under DATEFORMAT mdy: 07/11 is July 11th.
  EXPECT_EQ(Parse(Text(t, 103)), At(2024, 7, 11));
}

TEST(DateTimeParts, CanonicalPartNames) {
  EXPECT_EQ(CanonicalPart("yyyy"), kYear);
  EXPECT_EQ(CanonicalPart("y"), kDayOfYear);
  EXPECT_EQ(CanonicalPart("dw"), kWeekday);
  EXPECT_EQ(CanonicalPart("wk"), kWeek);
  EXPECT_EQ(CanonicalPart("n"), kMinute);
  EXPECT_EQ(CanonicalPart("MS"), kMillisecond);
  EXPECT_EQ(CanonicalPart("foo"), std::nullopt);
}

TEST(DateTimeFunctions, DatePart) {
  int64_t t = At(2024, 3, 5, 13, 5, 9, 7);  // a Tuesday
  EXPECT_EQ(DatePart(kYear, t), 2024);
  EXPECT_EQ(DatePart(kQuarter, t), 1);
  EXPECT_EQ(DatePart(kMonth, t), 3);
  EXPECT_EQ(DatePart(kDayOfYear, t), 65);  // 31 + 29 + 5
  EXPECT_EQ(DatePart(kDay, t), 5);
  EXPECT_EQ(DatePart(kWeek, t), 10);  // weeks from Sunday; 2024-01-01 is a Monday in week 1
  EXPECT_EQ(DatePart(kWeekday, t), 3);
  EXPECT_EQ(DatePart(kHour, t), 13);
  EXPECT_EQ(DatePart(kMinute, t), 5);
  EXPECT_EQ(DatePart(kSecond, t), 9);
  EXPECT_EQ(DatePart(kMillisecond, t), 7);
  EXPECT_EQ(DatePart(kWeekday, At(1900, 1, 1)), 2);     // Monday
  EXPECT_EQ(DatePart(kWeekday, At(1899, 12, 31)), 1);   // Sunday
  EXPECT_EQ(DatePart(kWeek, At(2024, 1, 6)), 1);        // Saturday
  EXPECT_EQ(DatePart(kWeek, At(2024, 1, 7)), 2);        // Sunday
  EXPECT_EQ(DatePart(kQuarter, At(2024, 10, 1)), 4);
}

TEST(DateTimeFunctions, DateAddClampsTheDayOfMonth) {
  EXPECT_EQ(DateAdd(kMonth, 1, At(2024, 1, 31, 8)), At(2024, 2, 29, 8));
  EXPECT_EQ(DateAdd(kMonth, 13, At(2024, 1, 31)), At(2025, 2, 28));
  EXPECT_EQ(DateAdd(kMonth, -1, At(2024, 3, 31)), At(2024, 2, 29));
  EXPECT_EQ(DateAdd(kYear, 1, At(2024, 2, 29)), At(2025, 2, 28));
  EXPECT_EQ(DateAdd(kQuarter, 1, At(2024, 11, 30)), At(2025, 2, 28));
  EXPECT_EQ(DateAdd(kDay, 1, At(2024, 2, 28)), At(2024, 2, 29));
  EXPECT_EQ(DateAdd(kDayOfYear, -1, At(2024, 3, 1)), At(2024, 2, 29));
  EXPECT_EQ(DateAdd(kWeek, 1, At(2024, 3, 5)), At(2024, 3, 12));
  EXPECT_EQ(DateAdd(kHour, 25, At(2024, 3, 5, 10)), At(2024, 3, 6, 11));
  EXPECT_EQ(DateAdd(kMinute, -30, At(2024, 3, 5)), At(2024, 3, 4, 23, 30));
  EXPECT_EQ(DateAdd(kSecond, 61, At(2024, 3, 5)), At(2024, 3, 5, 0, 1, 1));
  EXPECT_EQ(DateAdd(kMillisecond, 1, At(2024, 3, 5)), At(2024, 3, 5));      // 0.3 tick
  EXPECT_EQ(DateAdd(kMillisecond, 2, At(2024, 3, 5)), At(2024, 3, 5) + 1);  // .003
  EXPECT_EQ(DateAdd(kMillisecond, 1000, At(2024, 3, 5)), At(2024, 3, 5, 0, 0, 1));
}

TEST(DateTimeFunctions, DateAddOutOfRange) {
  EXPECT_FALSE(DateAdd(kDay, 1, At(9999, 12, 31)));
  EXPECT_FALSE(DateAdd(kDay, -1, At(1753, 1, 1)));
  EXPECT_FALSE(DateAdd(kYear, 10000, At(2024, 1, 1)));
  EXPECT_FALSE(DateAdd(kMonth, -4000000000LL, At(2024, 1, 1)));
  EXPECT_FALSE(DateAdd(kSecond, INT64_MAX, At(2024, 1, 1)));
  EXPECT_FALSE(DateAdd(kMillisecond, INT64_MIN, At(2024, 1, 1)));
}

TEST(DateTimeFunctions, DateDiffCountsBoundaries) {
  int64_t new_year_eve = At(2023, 12, 31, 23, 59, 59, 997), new_year = At(2024, 1, 1);
  EXPECT_EQ(DateDiff(kYear, new_year_eve, new_year), 1);
  EXPECT_EQ(DateDiff(kQuarter, new_year_eve, new_year), 1);
  EXPECT_EQ(DateDiff(kMonth, new_year_eve, new_year), 1);
  EXPECT_EQ(DateDiff(kDay, new_year_eve, new_year), 1);
  EXPECT_EQ(DateDiff(kSecond, new_year_eve, new_year), 1);
  EXPECT_EQ(DateDiff(kMillisecond, new_year_eve, new_year), 3);
  EXPECT_EQ(DateDiff(kYear, new_year, new_year_eve), -1);
  EXPECT_EQ(DateDiff(kYear, At(2024, 1, 1), At(2024, 12, 31)), 0);
  EXPECT_EQ(DateDiff(kMonth, At(2024, 1, 31), At(2024, 3, 1)), 2);
  EXPECT_EQ(DateDiff(kDay, At(2024, 3, 5, 23, 59), At(2024, 3, 6, 0, 1)), 1);
  EXPECT_EQ(DateDiff(kDay, At(2024, 1, 1), At(2025, 1, 1)), 366);
  EXPECT_EQ(DateDiff(kWeek, At(2024, 3, 9), At(2024, 3, 10)), 1);   // Saturday to Sunday
  EXPECT_EQ(DateDiff(kWeek, At(2024, 3, 10), At(2024, 3, 16)), 0);  // Sunday to Saturday
  EXPECT_EQ(DateDiff(kWeek, At(1899, 12, 30), At(1899, 12, 31)), 1);
  EXPECT_EQ(DateDiff(kHour, At(2024, 3, 5, 10, 59), At(2024, 3, 5, 11)), 1);
  EXPECT_EQ(DateDiff(kMinute, At(2024, 3, 5, 10, 0, 59), At(2024, 3, 5, 10, 1)), 1);
  EXPECT_EQ(DateDiff(kMinute, At(1899, 12, 31, 23, 59, 30), At(1900, 1, 1)), 1);
  EXPECT_EQ(DateDiff(kMillisecond, At(2024, 3, 5), At(2024, 3, 4, 23, 59, 59, 997)), -3);
}

TEST(DateTimeFunctions, NowIsInRange) {
  int64_t now = Now();
  EXPECT_GT(now, At(2020, 1, 1));
  EXPECT_LT(now, At(9999, 1, 1));
}

}  // namespace
}  // namespace orv::engine::datetime
