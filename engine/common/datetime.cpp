// DATETIME values from and to calendar parts, and the date functions DATEPART,
// DATEADD and DATEDIFF with SQL Server's rules: 1/300 s ticks, weeks starting
// on Sunday (DATEFIRST 7), DATEDIFF counting boundaries crossed, month
// arithmetic clamping the day to the end of the month.
#include "engine/common/datetime.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "engine/common/ascii.h"
#include "engine/common/datetime_calendar.h"

namespace orv::engine::datetime {
namespace {

constexpr int64_t kTicksPerMinute = 60 * kTicksPerSecond;
constexpr int64_t kTicksPerHour = 60 * kTicksPerMinute;
constexpr int64_t kMaxMsAmount = 1000000000000000;

struct PartName {
  std::string_view name;
  PartId id;
};

constexpr PartName kPartNames[] = {
    {"year", kYear},       {"yy", kYear},           {"yyyy", kYear},     {"quarter", kQuarter},
    {"qq", kQuarter},      {"q", kQuarter},         {"month", kMonth},   {"mm", kMonth},
    {"m", kMonth},         {"dayofyear", kDayOfYear}, {"dy", kDayOfYear}, {"y", kDayOfYear},
    {"day", kDay},         {"dd", kDay},            {"d", kDay},         {"week", kWeek},
    {"wk", kWeek},         {"ww", kWeek},           {"weekday", kWeekday}, {"dw", kWeekday},
    {"w", kWeekday},       {"iso_week", kIsoWeek},  {"isowk", kIsoWeek}, {"isoww", kIsoWeek},
    {"hour", kHour},       {"hh", kHour},           {"minute", kMinute},
    {"mi", kMinute},       {"n", kMinute},          {"second", kSecond}, {"ss", kSecond},
    {"s", kSecond},        {"millisecond", kMillisecond}, {"ms", kMillisecond},
    {"microsecond", kMicrosecond}, {"mcs", kMicrosecond}, {"nanosecond", kNanosecond}, {"ns", kNanosecond},
};

int64_t DayOf(int64_t ticks) { return FloorDiv(ticks, kTicksPerDay); }
int64_t TimeOf(int64_t ticks) { return ticks - DayOf(ticks) * kTicksPerDay; }

// Milliseconds shown for a tick count: 1/300 s rounded to the nearest ms
// (1 tick -> 3 ms, 2 ticks -> 7 ms).
int64_t TicksToMs(int64_t ticks) { return (ticks * 10 + 1) / 3; }

// 1 (Sunday) .. 7 (Saturday); 1900-01-01 was a Monday.
int WeekdayOfDay(int64_t day) { return static_cast<int>(day + 1 - FloorDiv(day + 1, 7) * 7) + 1; }

// ISO 8601: weeks start on Monday, and week 1 is the one that holds the
// year's first Thursday, so a day belongs to the year of its week's Thursday.
int64_t IsoWeekOfDay(int64_t day) {
  const int iso_weekday = (WeekdayOfDay(day) + 5) % 7 + 1;  // Monday 1 .. Sunday 7
  const int64_t thursday = day - iso_weekday + 4;
  int y, m, d;
  CivilFromDays(thursday, &y, &m, &d);
  return (thursday - DaysFromCivil(y, 1, 1)) / 7 + 1;
}

// Weeks since the Sunday before 1900-01-01: DATEDIFF(week) counts Sundays.
int64_t WeekIndex(int64_t day) { return FloorDiv(day + 1, 7); }

std::optional<int64_t> AddMonths(int64_t months, int64_t ticks) {
  int y, m, d;
  CivilFromDays(DayOf(ticks), &y, &m, &d);
  int64_t index = static_cast<int64_t>(y) * 12 + (m - 1) + months;
  int64_t year = FloorDiv(index, 12);
  if (year < 1753 || year > 9999) return std::nullopt;
  int month = static_cast<int>(index - year * 12) + 1;
  int day = std::min(d, DaysInMonth(static_cast<int>(year), month));
  return DaysFromCivil(static_cast<int>(year), month, day) * kTicksPerDay + TimeOf(ticks);
}

std::optional<int64_t> AddTicks(int64_t amount, int64_t unit, int64_t ticks) {
  int64_t delta, result;
  if (__builtin_mul_overflow(amount, unit, &delta) || __builtin_add_overflow(ticks, delta, &result)) {
    return std::nullopt;
  }
  return result;
}

}  // namespace

std::optional<int64_t> FromParts(const Parts& p) {
  if (p.year < 1753 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
      p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 ||
      p.second < 0 || p.second > 59 || p.millisecond < 0 || p.millisecond > 999) {
    return std::nullopt;
  }
  // .999 rounds up into the next second (and possibly the next day).
  int64_t ticks = DaysFromCivil(p.year, p.month, p.day) * kTicksPerDay + p.hour * kTicksPerHour +
                  p.minute * kTicksPerMinute + p.second * kTicksPerSecond + (p.millisecond * 3 + 5) / 10;
  if (!InRange(ticks)) return std::nullopt;
  return ticks;
}

Parts ToParts(int64_t ticks) {
  Parts p{};
  CivilFromDays(DayOf(ticks), &p.year, &p.month, &p.day);
  int64_t time = TimeOf(ticks);
  p.hour = static_cast<int>(time / kTicksPerHour);
  p.minute = static_cast<int>(time % kTicksPerHour / kTicksPerMinute);
  p.second = static_cast<int>(time % kTicksPerMinute / kTicksPerSecond);
  p.millisecond = static_cast<int>(TicksToMs(time % kTicksPerSecond));
  return p;
}

std::optional<int> CanonicalPart(std::string_view part) {
  std::string lower = AsciiLower(part);
  for (const PartName& entry : kPartNames) {
    if (entry.name == lower) return entry.id;
  }
  return std::nullopt;
}

int64_t DatePart(int part_id, int64_t ticks) {
  Parts p = ToParts(ticks);
  int64_t day = DayOf(ticks);
  switch (static_cast<PartId>(part_id)) {
    case kYear: return p.year;
    case kQuarter: return (p.month - 1) / 3 + 1;
    case kMonth: return p.month;
    case kDayOfYear: return day - DaysFromCivil(p.year, 1, 1) + 1;
    case kDay: return p.day;
    case kWeek: {
      int64_t jan1 = DaysFromCivil(p.year, 1, 1);
      return (day - jan1 + WeekdayOfDay(jan1) - 1) / 7 + 1;
    }
    case kWeekday: return WeekdayOfDay(day);
    case kIsoWeek: return IsoWeekOfDay(day);
    case kHour: return p.hour;
    case kMinute: return p.minute;
    case kSecond: return p.second;
    case kMillisecond: return p.millisecond;
    case kMicrosecond: return p.millisecond * int64_t{1000};
    case kNanosecond: return p.millisecond * int64_t{1000000};
  }
  return 0;
}

std::optional<int64_t> DateAdd(int part_id, int64_t amount, int64_t ticks) {
  std::optional<int64_t> result;
  switch (static_cast<PartId>(part_id)) {
    case kYear:
      result = amount > 10000 || amount < -10000 ? std::nullopt : AddMonths(amount * 12, ticks);
      break;
    case kQuarter:
      result = amount > 40000 || amount < -40000 ? std::nullopt : AddMonths(amount * 3, ticks);
      break;
    case kMonth:
      result = amount > 120000 || amount < -120000 ? std::nullopt : AddMonths(amount, ticks);
      break;
    case kDayOfYear:
    case kDay:
    case kWeekday: result = AddTicks(amount, kTicksPerDay, ticks); break;
    case kWeek: result = AddTicks(amount, 7 * kTicksPerDay, ticks); break;
    case kHour: result = AddTicks(amount, kTicksPerHour, ticks); break;
    case kMinute: result = AddTicks(amount, kTicksPerMinute, ticks); break;
    case kSecond: result = AddTicks(amount, kTicksPerSecond, ticks); break;
    case kMillisecond: {
      // The whole range is under 3e14 ms, so a larger amount leaves it anyway.
      if (amount > kMaxMsAmount || amount < -kMaxMsAmount) return std::nullopt;
      // In thirds of a millisecond (one tick is ten of them), rounded back to a tick.
      result = ticks + FloorDiv(amount * 3 + 5, 10);
      break;
    }
    case kIsoWeek:  // refused by DATEADD's caller
    case kMicrosecond:
    case kNanosecond: return std::nullopt;
  }
  if (!result || !InRange(*result)) return std::nullopt;
  return result;
}

int64_t DateDiff(int part_id, int64_t start_ticks, int64_t end_ticks) {
  Parts a = ToParts(start_ticks);
  Parts b = ToParts(end_ticks);
  int64_t day_a = DayOf(start_ticks), day_b = DayOf(end_ticks);
  switch (static_cast<PartId>(part_id)) {
    case kYear: return b.year - a.year;
    case kQuarter: return (b.year * 4 + (b.month - 1) / 3) - (a.year * 4 + (a.month - 1) / 3);
    case kMonth: return (b.year * 12 + b.month) - (a.year * 12 + a.month);
    case kDayOfYear:
    case kDay:
    case kWeekday: return day_b - day_a;
    case kWeek: return WeekIndex(day_b) - WeekIndex(day_a);
    case kIsoWeek: return 0;  // refused by DATEDIFF's caller
    case kHour: return FloorDiv(end_ticks, kTicksPerHour) - FloorDiv(start_ticks, kTicksPerHour);
    case kMinute: return FloorDiv(end_ticks, kTicksPerMinute) - FloorDiv(start_ticks, kTicksPerMinute);
    case kSecond: return FloorDiv(end_ticks, kTicksPerSecond) - FloorDiv(start_ticks, kTicksPerSecond);
    case kMillisecond:
    case kMicrosecond:
    case kNanosecond: {
      int64_t ms = (day_b - day_a) * 86400000 + TicksToMs(TimeOf(end_ticks)) - TicksToMs(TimeOf(start_ticks));
      int64_t scaled;
      if (__builtin_mul_overflow(ms, part_id == kMillisecond ? 1 : part_id == kMicrosecond ? 1000 : 1000000, &scaled)) {
        return ms > 0 ? INT64_MAX : INT64_MIN;  // beyond INT: the caller's 535
      }
      return scaled;
    }
  }
  return 0;
}

int64_t Now(bool utc) {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  if (utc) {
    gmtime_r(&seconds, &local);
  } else {
    localtime_r(&seconds, &local);
  }
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  Parts p{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
          std::min(local.tm_sec, 59), static_cast<int>(ms)};
  // A clock at .999 rounds into the next second; outside the range it stays at the last tick.
  return FromParts(p).value_or(MaxTicks());
}

}  // namespace orv::engine::datetime
