// Calendar dates and times as the automation runtime keeps them: an OLE date
// is a double counting days from 1899-12-30, its fraction the time of day
// (for days before that epoch the fraction still adds time). Also reads the
// date texts that clients send ("2024-3-5", "2024/03/05 10:00:00", ...).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv::platform {

// OLE dates lie strictly between these: 100-01-01 00:00 is -657434, and
// before the epoch the fraction counts forward, so -657434.99 is still that day.
inline constexpr double kMinOleDate = -657435.0;
inline constexpr double kMaxOleDate = 2958466.0;

struct CivilDateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

bool IsValidCivilDate(int year, int month, int day);
double ToOleDate(const CivilDateTime& civil);
// The nearest whole second of `ole_date`.
CivilDateTime FromOleDate(double ole_date);

// Reads "y-m-d" or "y/m/d" (four-digit year, one- or two-digit month and day)
// optionally followed by a blank or "T" and "h:mm", "h:mm:ss" or
// "h:mm:ss.fff" (fraction dropped); blanks around the text are allowed.
// Nothing else is a date, nor is a day the calendar does not have.
std::optional<CivilDateTime> ParseDateText(std::string_view text);

// "yyyy-mm-dd", and " hh:mm:ss" behind it when `with_time`.
std::string FormatCivil(const CivilDateTime& civil, bool with_time);

}  // namespace orv::platform
