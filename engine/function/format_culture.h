// What FORMAT needs to know of a culture: separators, currency, month and day
// names and the standard date patterns, for the cultures FORMAT accepts here;
// and FORMAT's rendering of dates and times with them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/common/value.h"

namespace orv::engine::detail {

struct Culture {
  std::string_view name;  // lower case: "en-us"
  std::string_view date_separator;  // what '/' in a date pattern prints
  std::string_view decimal_point;
  std::string_view group_separator;
  std::string_view currency_positive;  // "$n", "n €" ...: n stands for the number
  std::string_view currency_negative;
  std::string_view percent;  // "n%", "n %"
  const std::string_view* months;  // twelve of them
  const std::string_view* months_short;
  const std::string_view* days;  // seven, Sunday first
  const std::string_view* days_short;
  std::string_view am, pm;
  // .NET's standard patterns: d, D, t, T (f, F, g and G combine them).
  std::string_view short_date, long_date, short_time, long_time;
  std::string_view month_day, year_month;
};

// The culture named `name` (any case; empty means the session's, en-US), or
// null when FORMAT does not know it.
const Culture* FindCulture(std::string_view name);

// A DATE, DATETIME, DATETIME2 (a calendar instant) or TIME (a duration, as
// .NET's TimeSpan) in a .NET date format; nullopt where .NET would reject
// the format.
std::optional<std::string> FormatDateTime(const Value& v, std::string_view format, const Culture& culture);

}  // namespace orv::engine::detail
