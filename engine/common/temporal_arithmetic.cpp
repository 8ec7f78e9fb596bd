// DATEPART, DATEADD and DATEDIFF for DATE, TIME and DATETIME2, in 100 ns
// units over the years 0001..9999. Calendar parts reuse DATETIME's rules
// (weeks from Sunday, boundaries crossed) on whole seconds.
#include <algorithm>

#include "engine/common/datetime_calendar.h"
#include "engine/common/temporal.h"

namespace orv::engine::temporal {
namespace {

using datetime::FloorDiv;

constexpr int64_t kUnitsPerMs = 10000;

// The instant cut to whole seconds, as DATETIME ticks: the calendar parts
// of DATETIME's functions then apply over any year.
int64_t SecondTicks(int64_t units) { return FloorDiv(units, kUnitsPerSecond) * kTicksPerSecond; }

int64_t UnitOf(int part_id) {
  switch (part_id) {
    case datetime::kDayOfYear:
    case datetime::kDay:
    case datetime::kWeekday: return kUnitsPerDay;
    case datetime::kWeek: return 7 * kUnitsPerDay;
    case datetime::kHour: return 3600 * kUnitsPerSecond;
    case datetime::kMinute: return 60 * kUnitsPerSecond;
    case datetime::kSecond: return kUnitsPerSecond;
    case datetime::kMillisecond: return kUnitsPerMs;
    case datetime::kMicrosecond: return 10;
    default: return 0;  // months and years go by the calendar; nanoseconds by 100
  }
}

bool InRange(int64_t units) { return DayOf(units) >= kFirstDay && DayOf(units) <= kLastDay; }

std::optional<int64_t> AddMonths(int64_t months, int64_t units) {
  if (months > 120000 || months < -120000) return std::nullopt;
  int y, m, d;
  datetime::CivilFromDays(DayOf(units), &y, &m, &d);
  int64_t index = static_cast<int64_t>(y) * 12 + (m - 1) + months;
  int64_t year = FloorDiv(index, 12);
  if (year < 1 || year > 9999) return std::nullopt;
  int month = static_cast<int>(index - year * 12) + 1;
  int day = std::min(d, datetime::DaysInMonth(static_cast<int>(year), month));
  return datetime::DaysFromCivil(static_cast<int>(year), month, day) * kUnitsPerDay + TimeOfDay(units);
}

}  // namespace

int64_t DatePart(int part_id, int64_t units) {
  const int64_t fraction = TimeOfDay(units) % kUnitsPerSecond;
  switch (part_id) {
    case datetime::kMillisecond: return fraction / kUnitsPerMs;
    case datetime::kMicrosecond: return fraction / 10;
    case datetime::kNanosecond: return fraction * 100;
    default: return datetime::DatePart(part_id, SecondTicks(units));
  }
}

std::optional<int64_t> DateAdd(int part_id, int64_t amount, int64_t units) {
  std::optional<int64_t> result;
  switch (part_id) {
    case datetime::kYear:
      if (amount > 10000 || amount < -10000) return std::nullopt;
      result = AddMonths(amount * 12, units);
      break;
    case datetime::kQuarter:
      if (amount > 40000 || amount < -40000) return std::nullopt;
      result = AddMonths(amount * 3, units);
      break;
    case datetime::kMonth: result = AddMonths(amount, units); break;
    default: {
      // Nanoseconds round to the 100 ns the types hold.
      int64_t delta = 0;
      if (part_id == datetime::kNanosecond) {
        delta = FloorDiv(amount + 50, 100);
      } else if (__builtin_mul_overflow(amount, UnitOf(part_id), &delta)) {
        return std::nullopt;
      }
      int64_t sum = 0;
      if (__builtin_add_overflow(units, delta, &sum)) return std::nullopt;
      result = sum;
    }
  }
  if (!result || !InRange(*result)) return std::nullopt;
  return result;
}

int64_t DateDiff(int part_id, int64_t start_units, int64_t end_units) {
  switch (part_id) {
    case datetime::kYear:
    case datetime::kQuarter:
    case datetime::kMonth:
    case datetime::kDayOfYear:
    case datetime::kDay:
    case datetime::kWeekday:
    case datetime::kWeek:
      return datetime::DateDiff(part_id, SecondTicks(start_units), SecondTicks(end_units));
    case datetime::kNanosecond: {
      int64_t diff = 0;
      if (__builtin_mul_overflow(end_units - start_units, int64_t{100}, &diff)) {
        return end_units > start_units ? INT64_MAX : INT64_MIN;
      }
      return diff;
    }
    default: {
      const int64_t unit = UnitOf(part_id);
      return FloorDiv(end_units, unit) - FloorDiv(start_units, unit);
    }
  }
}

}  // namespace orv::engine::temporal
