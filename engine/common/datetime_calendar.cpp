// Day numbers of the proleptic Gregorian calendar (the era-based conversion,
// exact for every year DATETIME can hold) and the English month names.
#include "engine/common/datetime_calendar.h"

#include "engine/common/ascii.h"

namespace orv::engine::datetime {
namespace {

constexpr std::string_view kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};

// Days from 1970-01-01, counting eras of 400 years from March 1st so that the
// leap day falls at the end of a year.
constexpr int64_t DaysFromEpoch(int y, int m, int d) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

constexpr int64_t kDays1900 = DaysFromEpoch(1900, 1, 1);

}  // namespace

int64_t DaysFromCivil(int y, int m, int d) { return DaysFromEpoch(y, m, d) - kDays1900; }

void CivilFromDays(int64_t days, int* y, int* m, int* d) {
  int64_t z = days + kDays1900 + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

int64_t MinTicks() { return DaysFromCivil(1753, 1, 1) * kTicksPerDay; }
int64_t MaxTicks() { return DaysFromCivil(9999, 12, 31) * kTicksPerDay + kTicksPerDay - 1; }

std::string_view MonthName(int month) { return kMonthNames[month - 1]; }

std::optional<int> MonthFromName(std::string_view name) {
  for (int i = 0; i < 12; ++i) {
    if (EqualsIgnoreCase(name, kMonthNames[i]) || EqualsIgnoreCase(name, kMonthNames[i].substr(0, 3))) return i + 1;
  }
  return std::nullopt;
}

}  // namespace orv::engine::datetime
