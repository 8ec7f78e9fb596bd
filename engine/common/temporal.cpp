// DATE, TIME and DATETIME2 values from and to text and DATETIME ticks. Text
// is read by the DATETIME parser's rules, with the wider year range and the
// 7-digit fraction these types add.
#include "engine/common/temporal.h"

#include <cstdio>

#include "engine/common/datetime_calendar.h"

namespace orv::engine::temporal {
namespace {

constexpr int64_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

std::optional<datetime::TextParts> ValidParts(std::string_view text) {
  auto p = datetime::ParseParts(text);
  if (!p || !DateFromParts(p->year, p->month, p->day) || !TimeFromParts(p->hour, p->minute, p->second, p->units)) {
    return std::nullopt;
  }
  return p;
}

int64_t UnitsOfDay(const datetime::TextParts& p) {
  return (p.hour * 3600 + p.minute * 60 + p.second) * kUnitsPerSecond + p.units;
}

}  // namespace

int64_t RoundToScale(int64_t units, int scale) {
  if (scale >= 7 || scale < 0) return units;
  int64_t step = kPowers[7 - scale];
  return datetime::FloorDiv(units + step / 2, step) * step;
}

std::optional<int64_t> DateFromParts(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > datetime::DaysInMonth(year, month)) {
    return std::nullopt;
  }
  return datetime::DaysFromCivil(year, month, day);
}

std::optional<int64_t> TimeFromParts(int hour, int minute, int second, int64_t units) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || units < 0 ||
      units >= kUnitsPerSecond) {
    return std::nullopt;
  }
  return (hour * 3600 + minute * 60 + second) * kUnitsPerSecond + units;
}

std::optional<int64_t> DateFromText(std::string_view text) {
  auto p = ValidParts(text);
  if (!p) return std::nullopt;
  return DateFromParts(p->year, p->month, p->day);
}

// A time that rounds up to midnight wraps to 00:00, as SQL Server's does.
std::optional<int64_t> TimeFromText(std::string_view text, int scale) {
  auto p = ValidParts(text);
  if (!p) return std::nullopt;
  return RoundToScale(UnitsOfDay(*p), scale) % kUnitsPerDay;
}

std::optional<int64_t> DateTime2FromText(std::string_view text, int scale) {
  auto p = ValidParts(text);
  if (!p) return std::nullopt;
  int64_t units = *DateFromParts(p->year, p->month, p->day) * kUnitsPerDay + RoundToScale(UnitsOfDay(*p), scale);
  if (DayOf(units) > kLastDay) return std::nullopt;
  return units;
}

std::string DateText(int64_t days) {
  int y, m, d;
  datetime::CivilFromDays(days, &y, &m, &d);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", y, m, d);
  return buffer;
}

std::string TimeText(int64_t units, int scale) {
  int64_t seconds = units / kUnitsPerSecond;
  char buffer[32];
  int n = std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                        static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  if (scale > 0) {
    std::snprintf(buffer + n, sizeof buffer - n, ".%07lld", static_cast<long long>(units % kUnitsPerSecond));
    buffer[n + 1 + scale] = '\0';
  }
  return buffer;
}

std::string DateTime2Text(int64_t units, int scale) {
  return DateText(DayOf(units)) + " " + TimeText(TimeOfDay(units), scale);
}

int64_t UnitsFromTicks(int64_t ticks) {
  int64_t day = datetime::FloorDiv(ticks, kTicksPerDay);
  int64_t time = ticks - day * kTicksPerDay;
  // One tick is 33333.3 units: rounded, 1 tick shows as .0033333.
  return day * kUnitsPerDay + (time * kUnitsPerSecond + kTicksPerSecond / 2) / kTicksPerSecond;
}

int64_t TicksFromUnits(int64_t units) {
  int64_t day = DayOf(units);
  int64_t time = TimeOfDay(units);
  return day * kTicksPerDay + (time * kTicksPerSecond + kUnitsPerSecond / 2) / kUnitsPerSecond;
}

datetime::Parts PartsOf(int64_t units) {
  datetime::Parts p{};
  datetime::CivilFromDays(DayOf(units), &p.year, &p.month, &p.day);
  int64_t time = TimeOfDay(units);
  int64_t seconds = time / kUnitsPerSecond;
  p.hour = static_cast<int>(seconds / 3600);
  p.minute = static_cast<int>(seconds / 60 % 60);
  p.second = static_cast<int>(seconds % 60);
  p.millisecond = static_cast<int>(time % kUnitsPerSecond / 10000);
  return p;
}

}  // namespace orv::engine::temporal
