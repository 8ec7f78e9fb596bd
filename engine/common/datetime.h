// SQL Server's DATETIME: parsing the character formats it accepts, formatting
// with the CONVERT styles, calendar parts and DATEADD/DATEDIFF arithmetic.
// Ticks are those of Value (days since 1900-01-01, 300 ticks a second).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv::engine::datetime {

struct Parts {
  int year, month, day, hour, minute, second, millisecond;
};

// Ticks from calendar parts; nullopt outside 1753-01-01 .. 9999-12-31 or for an
// invalid date. Milliseconds are rounded to SQL Server's .000/.003/.007 steps.
std::optional<int64_t> FromParts(const Parts& parts);
Parts ToParts(int64_t ticks);

// Parses the strings SQL Server accepts for datetime under the default
// language (us_english, DATEFORMAT mdy): ISO "2024-03-05T10:20:30.123",
// "2024-03-05", "2024-3-5", "2024/03/05 00:00:00", "20240305 10:20",
// "03/05/2024", "3-5-24", "Mar 5 2024", "5 March, 2024", "10:20 PM" (time
// only: 1900-01-01), blanks around. An empty or blank string is 0 ticks
// (1900-01-01), as SQL Server converts ''. Returns nullopt where SQL Server
// raises 241 (or 242 when the parts are out of range: the caller cannot tell
// them apart here, so it raises 241, as SQL Server does for text).
std::optional<int64_t> Parse(std::string_view text);

// The same formats read into their parts, the fraction to 100 ns and the
// years 1..9999, for the types with a wider range and finer fraction than
// DATETIME. has_date / has_time tell which the text wrote.
struct TextParts {
  int year, month, day, hour, minute, second;
  int64_t units;  // fraction of the second, 100 ns units
  int fraction_digits;
  bool has_date, has_time;
};
std::optional<TextParts> ParseParts(std::string_view text);

// CONVERT(varchar, datetime, style). Style -1 (none) is SQL Server's default
// "Mar  5 2024 12:00AM" (style 0/100). Supported styles: 0, 100, 1, 101, 2,
// 102, 3, 103, 4, 104, 5, 105, 8, 108, 10, 110, 11, 111, 12, 112, 14, 114,
// 20, 120, 21, 121, 23, 126. Returns nullopt for other styles (the caller
// raises).
std::optional<std::string> Format(int64_t ticks, int style);
// The same styles on calendar parts, for the other date and time types.
std::optional<std::string> FormatParts(const Parts& parts, int style);

// The ids CanonicalPart returns.
enum PartId : int {
  kYear,
  kQuarter,
  kMonth,
  kDayOfYear,
  kDay,
  kWeek,
  kWeekday,
  kIsoWeek,  // DATEPART and DATENAME only
  kHour,
  kMinute,
  kSecond,
  kMillisecond,
  kMicrosecond,
  kNanosecond,
};

// DATEPART / DATEADD / DATEDIFF for the parts year (yy, yyyy), quarter (qq, q),
// month (mm, m), dayofyear (dy, y), day (dd, d), week (wk, ww), weekday (dw),
// iso_week (isowk, isoww; DatePart only), hour (hh), minute (mi, n), second (ss, s), millisecond (ms), microsecond
// (mcs), nanosecond (ns); DATETIME's DateAdd takes neither of the last two
// (its caller raises 9810). `part` is lower
// case as written (upper case is accepted too); nullopt for an unknown part.
std::optional<int> CanonicalPart(std::string_view part);  // an id for the part, or nullopt
int64_t DatePart(int part_id, int64_t ticks);
// nullopt when the result leaves the datetime range (the caller raises 517).
std::optional<int64_t> DateAdd(int part_id, int64_t amount, int64_t ticks);
// DATEDIFF counts the boundaries crossed (weeks begin on Sunday). SQL Server
// returns INT: a count beyond its range is the caller's error 535.
int64_t DateDiff(int part_id, int64_t start_ticks, int64_t end_ticks);

// The current local time (GETDATE()), or UTC (GETUTCDATE()).
int64_t Now(bool utc = false);

}  // namespace orv::engine::datetime
