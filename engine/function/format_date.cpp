// FORMAT of dates and times: .NET's standard date patterns by culture and
// its custom specifiers (d, M, y, h, H, m, s, f, F, t and literals); a TIME
// formats as a TimeSpan (hh, mm, ss, f, with literals escaped).
#include <cstdio>

#include "engine/common/errors.h"
#include "engine/common/temporal.h"
#include "engine/function/format_culture.h"

namespace orv::engine::detail {
namespace {

struct Instant {
  datetime::Parts parts;
  int64_t fraction;  // 100 ns units of the second
  int weekday;       // 0 Sunday
};

std::string Padded(int64_t x, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(x));
  return buffer;
}

// How many times the character at `i` repeats from there.
size_t RunLength(std::string_view s, size_t i) {
  size_t n = 1;
  while (i + n < s.size() && s[i + n] == s[i]) ++n;
  return n;
}

std::optional<std::string> Custom(const Instant& at, std::string_view format, const Culture& c) {
  const datetime::Parts& p = at.parts;
  std::string out;
  for (size_t i = 0; i < format.size();) {
    const char ch = format[i];
    const size_t n = RunLength(format, i);
    switch (ch) {
      case 'd':
        out += n == 1 ? std::to_string(p.day) : n == 2 ? Padded(p.day, 2)
               : n == 3 ? std::string(c.days_short[at.weekday]) : std::string(c.days[at.weekday]);
        break;
      case 'M':
        out += n == 1 ? std::to_string(p.month) : n == 2 ? Padded(p.month, 2)
               : n == 3 ? std::string(c.months_short[p.month - 1]) : std::string(c.months[p.month - 1]);
        break;
      case 'y':
        out += n == 1 ? std::to_string(p.year % 100) : n == 2 ? Padded(p.year % 100, 2) : Padded(p.year, static_cast<int>(n));
        break;
      case 'h':
        out += n == 1 ? std::to_string(p.hour % 12 == 0 ? 12 : p.hour % 12) : Padded(p.hour % 12 == 0 ? 12 : p.hour % 12, 2);
        break;
      case 'H': out += n == 1 ? std::to_string(p.hour) : Padded(p.hour, 2); break;
      case 'm': out += n == 1 ? std::to_string(p.minute) : Padded(p.minute, 2); break;
      case 's': out += n == 1 ? std::to_string(p.second) : Padded(p.second, 2); break;
      case 'f':
      case 'F': {
        if (n > 7) return std::nullopt;
        std::string digits = Padded(at.fraction, 7).substr(0, n);
        if (ch == 'F') {
          while (!digits.empty() && digits.back() == '0') digits.pop_back();
          // An empty F fraction also drops the point written just before it.
          if (digits.empty() && !out.empty() && out.back() == '.') out.pop_back();
        }
        out += digits;
        break;
      }
      case 't': {
        std::string_view marker = p.hour < 12 ? c.am : c.pm;
        out += n == 1 ? std::string(marker.substr(0, marker.empty() ? 0 : 1)) : std::string(marker);
        break;
      }
      case ':': out.append(n, ':'); break;
      case '/':
        for (size_t k = 0; k < n; ++k) out += c.date_separator;
        break;
      case '\'':
      case '"': {
        const size_t end = format.find(ch, i + 1);
        if (end == std::string_view::npos) return std::nullopt;
        out += format.substr(i + 1, end - i - 1);
        i = end + 1;
        continue;
      }
      case '\\':
        if (i + 1 >= format.size()) return std::nullopt;
        out.push_back(format[i + 1]);
        i += 2;
        continue;
      case '%':
        ++i;
        continue;
      case 'z':
      case 'K':
      case 'g':
        Throw(ErrorCode::kNotSupported, {"The FORMAT specifier '" + std::string(1, ch) + "'"});
      default:
        out.append(n, ch);
    }
    i += n;
  }
  return out;
}

// The standard one-letter patterns, spelled out for the culture.
std::optional<std::string> StandardPattern(char kind, const Culture& c) {
  const std::string d(c.short_date), D(c.long_date), t(c.short_time), T(c.long_time);
  switch (kind) {
    case 'd': return d;
    case 'D': return D;
    case 't': return t;
    case 'T': return T;
    case 'f': return D + " " + t;
    case 'F': return D + " " + T;
    case 'g': return d + " " + t;
    case 'G': return d + " " + T;
    case 'M':
    case 'm': return std::string(c.month_day);
    case 'Y':
    case 'y': return std::string(c.year_month);
    case 's': return "yyyy'-'MM'-'dd'T'HH':'mm':'ss";
    case 'u': return "yyyy'-'MM'-'dd HH':'mm':'ss'Z'";
    case 'O':
    case 'o': return "yyyy'-'MM'-'dd'T'HH':'mm':'ss'.'fffffff";
    default: return std::nullopt;
  }
}

// A TIME as a TimeSpan: "c" is hh:mm:ss[.fffffff]; custom specifiers take
// no unescaped separators.
std::optional<std::string> TimeSpan(int64_t units, std::string_view format) {
  const int64_t seconds = units / temporal::kUnitsPerSecond;
  const int64_t fraction = units % temporal::kUnitsPerSecond;
  if (format == "c" || format == "t" || format == "T" || format == "g") {
    std::string out = Padded(seconds / 3600, 2) + ":" + Padded(seconds / 60 % 60, 2) + ":" + Padded(seconds % 60, 2);
    return fraction ? out + "." + Padded(fraction, 7) : out;
  }
  std::string out;
  for (size_t i = 0; i < format.size();) {
    const char ch = format[i];
    const size_t n = RunLength(format, i);
    if (ch == 'h' || ch == 'm' || ch == 's') {
      if (n > 2) return std::nullopt;
      const int64_t x = ch == 'h' ? seconds / 3600 : ch == 'm' ? seconds / 60 % 60 : seconds % 60;
      out += n == 1 ? std::to_string(x) : Padded(x, 2);
    } else if (ch == 'f' || ch == 'F') {
      if (n > 7) return std::nullopt;
      std::string digits = Padded(fraction, 7).substr(0, n);
      if (ch == 'F') {
        while (!digits.empty() && digits.back() == '0') digits.pop_back();
      }
      out += digits;
    } else if (ch == '\\' && i + 1 < format.size()) {
      out.push_back(format[i + 1]);
      i += 2;
      continue;
    } else if (ch == '\'' || ch == '"') {
      const size_t end = format.find(ch, i + 1);
      if (end == std::string_view::npos) return std::nullopt;
      out += format.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    } else {
      return std::nullopt;  // TimeSpan takes no unescaped literal
    }
    i += n;
  }
  return out;
}

}  // namespace

std::optional<std::string> FormatDateTime(const Value& v, std::string_view format, const Culture& culture) {
  if (v.type == TypeId::Time) return TimeSpan(v.i, format);
  Instant at{};
  if (v.type == TypeId::DateTime) {
    // DATETIME reaches .NET in whole milliseconds (.997, not .99666...).
    at.parts = datetime::ToParts(v.dt);
    at.fraction = at.parts.millisecond * int64_t{10000};
    at.weekday = static_cast<int>(datetime::DatePart(datetime::kWeekday, v.dt)) - 1;
  } else {
    const int64_t units = v.type == TypeId::Date ? v.i * temporal::kUnitsPerDay : v.i;
    at.parts = temporal::PartsOf(units);
    at.fraction = temporal::TimeOfDay(units) % temporal::kUnitsPerSecond;
    at.weekday = static_cast<int>(temporal::DatePart(datetime::kWeekday, units)) - 1;
  }
  if (format.size() == 1) {
    auto pattern = StandardPattern(format[0], culture);
    if (!pattern) return std::nullopt;
    return Custom(at, *pattern, culture);
  }
  return Custom(at, format, culture);
}

}  // namespace orv::engine::detail
