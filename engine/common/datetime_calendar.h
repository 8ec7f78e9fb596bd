// Proleptic Gregorian calendar arithmetic shared by the datetime parser,
// formatter and date functions: day numbers relative to 1900-01-01, month
// lengths, the range DATETIME can hold and English month names.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/common/value.h"

namespace orv::engine::datetime {

// Days from 1900-01-01 to y-m-d (negative before it); m and d must be valid.
int64_t DaysFromCivil(int y, int m, int d);
// The inverse of DaysFromCivil.
void CivilFromDays(int64_t days, int* y, int* m, int* d);

bool IsLeapYear(int y);
int DaysInMonth(int y, int m);

// Floor division, as day and boundary counts need for times before 1900.
inline int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The first and last tick DATETIME can hold: 1753-01-01 00:00:00.000 and
// 9999-12-31 23:59:59.997.
int64_t MinTicks();
int64_t MaxTicks();
inline bool InRange(int64_t ticks) { return ticks >= MinTicks() && ticks <= MaxTicks(); }

// English month names: "January".."December"; 1-based.
std::string_view MonthName(int month);
// 1..12 for a full or three-letter English month name in any case, else nullopt.
std::optional<int> MonthFromName(std::string_view name);

}  // namespace orv::engine::datetime
