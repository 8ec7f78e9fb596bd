// DATETIME to text with the CONVERT styles: each style is a date layout
// (order of the parts, separator, two- or four-digit year) and an optional
// time layout, so one table row describes it.
#include <cstdio>

#include "engine/common/datetime.h"
#include "engine/common/datetime_calendar.h"

namespace orv::engine::datetime {
namespace {

// kMonDdYyyy: "Mar  5 2024"; kDdMon: "05 Mar 2024"; kMonDdComma: "Mar 05, 2024".
enum class DateLayout { kNone, kMdy, kYmd, kDmy, kMonDdYyyy, kDdMon, kMonDdComma };
// kAmPm: " 1:04PM"; kAmPmSecondsMs: " 1:04:05:997PM"; kAmPmSeconds: " 1:04:05 PM".
enum class TimeLayout { kNone, kHms, kHmsMs, kHmsColonMs, kAmPm, kAmPmSecondsMs, kAmPmSeconds };

struct Style {
  int number;
  DateLayout date;
  char separator;  // 0: none
  bool four_digit_year;
  TimeLayout time;
  char date_time_separator;
};

constexpr Style kStyles[] = {
    {0, DateLayout::kMonDdYyyy, ' ', true, TimeLayout::kAmPm, ' '},
    {100, DateLayout::kMonDdYyyy, ' ', true, TimeLayout::kAmPm, ' '},
    {1, DateLayout::kMdy, '/', false, TimeLayout::kNone, 0},
    {101, DateLayout::kMdy, '/', true, TimeLayout::kNone, 0},
    {2, DateLayout::kYmd, '.', false, TimeLayout::kNone, 0},
    {102, DateLayout::kYmd, '.', true, TimeLayout::kNone, 0},
    {3, DateLayout::kDmy, '/', false, TimeLayout::kNone, 0},
    {103, DateLayout::kDmy, '/', true, TimeLayout::kNone, 0},
    {4, DateLayout::kDmy, '.', false, TimeLayout::kNone, 0},
    {104, DateLayout::kDmy, '.', true, TimeLayout::kNone, 0},
    {5, DateLayout::kDmy, '-', false, TimeLayout::kNone, 0},
    {105, DateLayout::kDmy, '-', true, TimeLayout::kNone, 0},
    {6, DateLayout::kDdMon, ' ', false, TimeLayout::kNone, 0},
    {106, DateLayout::kDdMon, ' ', true, TimeLayout::kNone, 0},
    {7, DateLayout::kMonDdComma, ' ', false, TimeLayout::kNone, 0},
    {107, DateLayout::kMonDdComma, ' ', true, TimeLayout::kNone, 0},
    {8, DateLayout::kNone, 0, false, TimeLayout::kHms, 0},
    {108, DateLayout::kNone, 0, false, TimeLayout::kHms, 0},
    {24, DateLayout::kNone, 0, false, TimeLayout::kHms, 0},
    {9, DateLayout::kMonDdYyyy, ' ', true, TimeLayout::kAmPmSecondsMs, ' '},
    {109, DateLayout::kMonDdYyyy, ' ', true, TimeLayout::kAmPmSecondsMs, ' '},
    {10, DateLayout::kMdy, '-', false, TimeLayout::kNone, 0},
    {110, DateLayout::kMdy, '-', true, TimeLayout::kNone, 0},
    {11, DateLayout::kYmd, '/', false, TimeLayout::kNone, 0},
    {111, DateLayout::kYmd, '/', true, TimeLayout::kNone, 0},
    {12, DateLayout::kYmd, 0, false, TimeLayout::kNone, 0},
    {112, DateLayout::kYmd, 0, true, TimeLayout::kNone, 0},
    {13, DateLayout::kDdMon, ' ', true, TimeLayout::kHmsColonMs, ' '},
    {113, DateLayout::kDdMon, ' ', true, TimeLayout::kHmsColonMs, ' '},
    {14, DateLayout::kNone, 0, false, TimeLayout::kHmsColonMs, 0},
    {114, DateLayout::kNone, 0, false, TimeLayout::kHmsColonMs, 0},
    {20, DateLayout::kYmd, '-', true, TimeLayout::kHms, ' '},
    {120, DateLayout::kYmd, '-', true, TimeLayout::kHms, ' '},
    {21, DateLayout::kYmd, '-', true, TimeLayout::kHmsMs, ' '},
    {121, DateLayout::kYmd, '-', true, TimeLayout::kHmsMs, ' '},
    {25, DateLayout::kYmd, '-', true, TimeLayout::kHmsMs, ' '},
    {22, DateLayout::kMdy, '/', false, TimeLayout::kAmPmSeconds, ' '},
    {23, DateLayout::kYmd, '-', true, TimeLayout::kNone, 0},
    {126, DateLayout::kYmd, '-', true, TimeLayout::kHmsMs, 'T'},
};

std::string TwoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v % 100);
  return buf;
}

std::string FormatDate(const Style& style, const Parts& p) {
  if (style.date == DateLayout::kMonDdYyyy) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3s %2d %04d", MonthName(p.month).data(), p.day, p.year);
    return buf;
  }
  std::string year = style.four_digit_year ? std::to_string(p.year) : TwoDigits(p.year);
  std::string month = TwoDigits(p.month), day = TwoDigits(p.day);
  const std::string month_name(MonthName(p.month).substr(0, 3));
  if (style.date == DateLayout::kDdMon) return day + ' ' + month_name + ' ' + year;
  if (style.date == DateLayout::kMonDdComma) return month_name + ' ' + day + ", " + year;
  std::string sep = style.separator ? std::string(1, style.separator) : std::string();
  switch (style.date) {
    case DateLayout::kMdy: return month + sep + day + sep + year;
    case DateLayout::kYmd: return year + sep + month + sep + day;
    case DateLayout::kDmy: return day + sep + month + sep + year;
    default: return std::string();
  }
}

int Hour12(const Parts& p) { return p.hour % 12 == 0 ? 12 : p.hour % 12; }

std::string FormatTime(const Style& style, const Parts& p) {
  char buf[32];
  switch (style.time) {
    case TimeLayout::kHms: std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", p.hour, p.minute, p.second); break;
    case TimeLayout::kHmsMs:
      // Style 126 leaves out a zero fraction.
      if (style.number == 126 && p.millisecond == 0) {
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", p.hour, p.minute, p.second);
      } else {
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", p.hour, p.minute, p.second, p.millisecond);
      }
      break;
    case TimeLayout::kHmsColonMs:
      std::snprintf(buf, sizeof buf, "%02d:%02d:%02d:%03d", p.hour, p.minute, p.second, p.millisecond);
      break;
    case TimeLayout::kAmPm:
      std::snprintf(buf, sizeof buf, "%2d:%02d%s", Hour12(p), p.minute, p.hour < 12 ? "AM" : "PM");
      break;
    case TimeLayout::kAmPmSecondsMs:
      std::snprintf(buf, sizeof buf, "%2d:%02d:%02d:%03d%s", Hour12(p), p.minute, p.second, p.millisecond,
                    p.hour < 12 ? "AM" : "PM");
      break;
    case TimeLayout::kAmPmSeconds:
      std::snprintf(buf, sizeof buf, "%2d:%02d:%02d %s", Hour12(p), p.minute, p.second, p.hour < 12 ? "AM" : "PM");
      break;
    case TimeLayout::kNone: return std::string();
  }
  return buf;
}

}  // namespace

std::optional<std::string> Format(int64_t ticks, int style) { return FormatParts(ToParts(ticks), style); }

std::optional<std::string> FormatParts(const Parts& p, int style) {
  if (style == -1) style = 0;
  for (const Style& s : kStyles) {
    if (s.number != style) continue;
    std::string text = FormatDate(s, p);
    if (s.date_time_separator) text.push_back(s.date_time_separator);
    return text + FormatTime(s, p);
  }
  return std::nullopt;
}

}  // namespace orv::engine::datetime
