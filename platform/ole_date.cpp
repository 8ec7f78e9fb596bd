// OLE dates to calendar parts and back, and the reading of date texts.
#include "platform/ole_date.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/ascii_text.h"

namespace orv::platform {
namespace {

// 1899-12-30 counted from 1970-01-01.
constexpr int64_t kOleEpochFromUnix = -25569;
constexpr int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, CivilDateTime& out) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  out.year = static_cast<int>(yoe + era * 400 + (m <= 2));
  out.month = static_cast<int>(m);
  out.day = static_cast<int>(d);
}

// Reads 1..max_digits digits at `pos`; false when there are none or too many.
bool ReadNumber(std::string_view text, size_t& pos, size_t min_digits, size_t max_digits, int& value) {
  const size_t start = pos;
  value = 0;
  while (pos < text.size() && IsDigit(text[pos]) && pos - start < max_digits + 1) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  const size_t count = pos - start;
  return count >= min_digits && count <= max_digits;
}

bool ReadTime(std::string_view text, size_t& pos, CivilDateTime& out) {
  if (!ReadNumber(text, pos, 1, 2, out.hour) || pos >= text.size() || text[pos] != ':') return false;
  ++pos;
  if (!ReadNumber(text, pos, 2, 2, out.minute)) return false;
  if (pos < text.size() && text[pos] == ':') {
    ++pos;
    if (!ReadNumber(text, pos, 2, 2, out.second)) return false;
    if (pos < text.size() && text[pos] == '.') {
      ++pos;
      const size_t digits = pos;
      while (pos < text.size() && IsDigit(text[pos])) ++pos;
      if (pos == digits) return false;
    }
  }
  return out.hour <= 23 && out.minute <= 59 && out.second <= 59;
}

}  // namespace

bool IsValidCivilDate(int year, int month, int day) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

double ToOleDate(const CivilDateTime& civil) {
  const int64_t days = DaysFromCivil(civil.year, civil.month, civil.day) - kOleEpochFromUnix;
  const double time = (civil.hour * 3600 + civil.minute * 60 + civil.second) / static_cast<double>(kSecondsPerDay);
  // Before the epoch the integer part is negative but the time still counts forward.
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

CivilDateTime FromOleDate(double ole_date) {
  const double whole = std::trunc(ole_date);
  int64_t days = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(ole_date - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    ++days;
  }
  CivilDateTime out;
  CivilFromDays(days + kOleEpochFromUnix, out);
  out.hour = static_cast<int>(seconds / 3600);
  out.minute = static_cast<int>(seconds / 60 % 60);
  out.second = static_cast<int>(seconds % 60);
  return out;
}

std::optional<CivilDateTime> ParseDateText(std::string_view text) {
  text = TrimBlanks(text);
  CivilDateTime out;
  out.hour = out.minute = out.second = 0;
  size_t pos = 0;
  if (!ReadNumber(text, pos, 4, 4, out.year) || pos >= text.size()) return std::nullopt;
  const char separator = text[pos];
  if (separator != '-' && separator != '/') return std::nullopt;
  ++pos;
  if (!ReadNumber(text, pos, 1, 2, out.month) || pos >= text.size() || text[pos] != separator) return std::nullopt;
  ++pos;
  if (!ReadNumber(text, pos, 1, 2, out.day)) return std::nullopt;
  if (pos < text.size()) {
    if (text[pos] == 'T' || text[pos] == 't') {
      ++pos;
    } else if (IsBlank(text[pos])) {
      while (pos < text.size() && IsBlank(text[pos])) ++pos;
    } else {
      return std::nullopt;
    }
    if (!ReadTime(text, pos, out) || pos != text.size()) return std::nullopt;
  }
  if (!IsValidCivilDate(out.year, out.month, out.day)) return std::nullopt;
  return out;
}

std::string FormatCivil(const CivilDateTime& civil, bool with_time) {
  char text[80];
  if (with_time) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", civil.year, civil.month, civil.day, civil.hour,
                  civil.minute, civil.second);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", civil.year, civil.month, civil.day);
  }
  return text;
}

}  // namespace orv::platform
