// DATE, TIME(n) and DATETIME2(n) values: days since 1900-01-01 (DATE), 100 ns
// units since midnight (TIME) and since 1900-01-01 00:00 (DATETIME2), for the
// years 0001..9999. Reading them from text, printing them, rounding to a
// fractional precision and meeting DATETIME's 1/300 s ticks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/common/datetime.h"
#include "engine/common/datetime_calendar.h"

namespace orv::engine::temporal {

inline constexpr int64_t kUnitsPerSecond = 10'000'000;
inline constexpr int64_t kUnitsPerDay = 86400 * kUnitsPerSecond;
// 0001-01-01 and 9999-12-31 as days since 1900-01-01.
inline constexpr int64_t kFirstDay = -693595;
inline constexpr int64_t kLastDay = 2958463;
// TIME and DATETIME2 without a precision hold 7 fractional digits.
inline constexpr int kDefaultScale = 7;

// Units rounded half up to `scale` fractional digits (0..7).
int64_t RoundToScale(int64_t units, int scale);

// nullopt when the text is not a date/time SQL Server reads for the type
// (the caller raises 241) or lies outside 0001..9999.
std::optional<int64_t> DateFromText(std::string_view text);
std::optional<int64_t> TimeFromText(std::string_view text, int scale);
std::optional<int64_t> DateTime2FromText(std::string_view text, int scale);

// Parts, validated (year 1..9999, a real day, fraction of at most 7 digits).
std::optional<int64_t> DateFromParts(int year, int month, int day);
std::optional<int64_t> TimeFromParts(int hour, int minute, int second, int64_t units);

// "2024-03-05", "10:20:30.1234567" ("10:20:30" at scale 0),
// "2024-03-05 10:20:30.1234567": the default text of CAST and of client tools.
std::string DateText(int64_t days);
std::string TimeText(int64_t units, int scale);
std::string DateTime2Text(int64_t units, int scale);

// DATETIME ticks to DATETIME2 units (exact to the 100 ns) and back (rounded
// to the nearest tick).
int64_t UnitsFromTicks(int64_t ticks);
int64_t TicksFromUnits(int64_t units);

inline int64_t DayOf(int64_t units) { return datetime::FloorDiv(units, kUnitsPerDay); }
inline int64_t TimeOfDay(int64_t units) { return units - DayOf(units) * kUnitsPerDay; }

// The calendar parts of a DATETIME2 instant (millisecond truncated).
datetime::Parts PartsOf(int64_t units);

// DATEPART, DATEADD and DATEDIFF on DATETIME2 units, with datetime's part ids
// (microsecond and nanosecond included). DateAdd is nullopt past 0001..9999;
// DateDiff saturates at the int64 range (the caller's 535 anyway).
int64_t DatePart(int part_id, int64_t units);
std::optional<int64_t> DateAdd(int part_id, int64_t amount, int64_t units);
int64_t DateDiff(int part_id, int64_t start_units, int64_t end_units);

}  // namespace orv::engine::temporal
