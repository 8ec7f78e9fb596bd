// Text to DATETIME under us_english / DATEFORMAT mdy. The text splits into a
// time (the word holding ':' or AM/PM) and a date: ISO 8601 with 'T',
// unseparated digits, numeric with / - . (year first is y-m-d, else m-d-y)
// or alphabetic with an English month name. A missing date is 1900-01-01.
#include <string>
#include <vector>

#include "engine/common/ascii.h"
#include "engine/common/datetime.h"
#include "engine/common/datetime_calendar.h"

namespace orv::engine::datetime {
namespace {

struct Date {
  int year = 1900, month = 1, day = 1;
};
struct Time {
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// A number field of a date: at least one digit, nothing else.
bool IsNumber(std::string_view s) { return !s.empty() && AllDigits(s); }

int ToInt(std::string_view digits) {
  int v = 0;
  for (char c : digits) v = v * 10 + (c - '0');
  return v;
}

// Two-digit years: 00-49 are 20xx, 50-99 are 19xx (two digit year cutoff 2049).
std::optional<int> Year(std::string_view digits) {
  if (!IsNumber(digits)) return std::nullopt;
  if (digits.size() == 4) return ToInt(digits);
  if (digits.size() == 2) {
    int yy = ToInt(digits);
    return yy < 50 ? 2000 + yy : 1900 + yy;
  }
  return std::nullopt;
}

std::optional<int> SmallNumber(std::string_view digits) {
  if (!IsNumber(digits) || digits.size() > 2) return std::nullopt;
  return ToInt(digits);
}

std::vector<std::string_view> Split(std::string_view s, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || s[i] == separator) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// "hh:mi[:ss[.fff | :fff]]" or "hh" with a meridiem; `text` is lower case.
std::optional<Time> ParseTime(std::string_view text) {
  int meridiem = 0;  // 1 am, 2 pm
  if (text.size() >= 2 && (text.substr(text.size() - 2) == "am" || text.substr(text.size() - 2) == "pm")) {
    meridiem = text[text.size() - 2] == 'a' ? 1 : 2;
    text.remove_suffix(2);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  }
  Time t;
  std::string_view fraction;
  size_t point = text.find('.');
  if (point != std::string_view::npos) {
    fraction = text.substr(point + 1);
    text = text.substr(0, point);
    if (!IsNumber(fraction) || fraction.size() > 3) return std::nullopt;
  }
  std::vector<std::string_view> fields = Split(text, ':');
  if (fields.size() > 4 || (fields.size() == 1 && meridiem == 0) || (fields.size() == 4 && !fraction.empty()) ||
      (fields.size() < 3 && !fraction.empty())) {
    return std::nullopt;
  }
  std::optional<int> values[3];
  for (size_t i = 0; i < fields.size() && i < 3; ++i) {
    values[i] = SmallNumber(fields[i]);
    if (!values[i]) return std::nullopt;
  }
  t.hour = *values[0];
  t.minute = values[1].value_or(0);
  t.second = values[2].value_or(0);
  if (fields.size() == 4) {
    // After a colon the digits count milliseconds: ":5" is 5 ms.
    if (!IsNumber(fields[3]) || fields[3].size() > 3) return std::nullopt;
    t.millisecond = ToInt(fields[3]);
  } else if (!fraction.empty()) {
    // After a point they are a decimal fraction: ".5" is 500 ms.
    t.millisecond = ToInt(fraction);
    for (size_t i = fraction.size(); i < 3; ++i) t.millisecond *= 10;
  }
  if (meridiem != 0) {
    if (t.hour > 12) return std::nullopt;
    if (t.hour == 12) t.hour = 0;
    if (meridiem == 2) t.hour += 12;
  }
  if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return t;
}

// One word of digits and separators: "20240305", "240305", "2024",
// "2024-03-05", "03/05/2024", "3.5.24".
std::optional<Date> ParseNumericDate(std::string_view word) {
  if (IsNumber(word)) {
    if (word.size() == 8) return Date{ToInt(word.substr(0, 4)), ToInt(word.substr(4, 2)), ToInt(word.substr(6, 2))};
    if (word.size() == 6) {
      return Date{*Year(word.substr(0, 2)), ToInt(word.substr(2, 2)), ToInt(word.substr(4, 2))};
    }
    if (word.size() == 4) return Date{ToInt(word), 1, 1};
    return std::nullopt;
  }
  size_t sep_at = word.find_first_of("/-.");
  if (sep_at == std::string_view::npos) return std::nullopt;
  std::vector<std::string_view> parts = Split(word, word[sep_at]);
  if (parts.size() != 3) return std::nullopt;
  if (parts[0].size() == 4) {
    std::optional<int> month = SmallNumber(parts[1]), day = SmallNumber(parts[2]);
    if (!IsNumber(parts[0]) || !month || !day) return std::nullopt;
    return Date{ToInt(parts[0]), *month, *day};
  }
  std::optional<int> month = SmallNumber(parts[0]), day = SmallNumber(parts[1]), year = Year(parts[2]);
  if (!month || !day || !year) return std::nullopt;
  return Date{*year, *month, *day};
}

// Words with exactly one English month name and one or two numbers: a
// four-digit number is the year and the other the day; two short numbers are
// day then two-digit year; a year alone means the first of the month.
std::optional<Date> ParseAlphabeticDate(const std::vector<std::string_view>& words) {
  std::optional<int> month;
  std::vector<std::string_view> numbers;
  for (std::string_view w : words) {
    if (IsNumber(w)) {
      numbers.push_back(w);
    } else if (std::optional<int> m = MonthFromName(w); m && !month) {
      month = m;
    } else {
      return std::nullopt;
    }
  }
  if (!month || numbers.empty() || numbers.size() > 2) return std::nullopt;
  Date d;
  d.month = *month;
  if (numbers.size() == 1) {
    if (numbers[0].size() != 4) return std::nullopt;
    d.year = ToInt(numbers[0]);
    return d;
  }
  size_t year_at = numbers[0].size() == 4 ? 0 : 1;
  std::optional<int> year = Year(numbers[year_at]), day = SmallNumber(numbers[1 - year_at]);
  if (!year || !day) return std::nullopt;
  d.year = *year;
  d.day = *day;
  return d;
}

// "yyyy-mm-ddThh:mi[:ss[.fff]]", fixed widths.
std::optional<int64_t> ParseIso(std::string_view s) {
  size_t t_at = s.find('t');
  std::string_view date = s.substr(0, t_at);
  if (date.size() != 10 || date[4] != '-' || date[7] != '-' || !IsNumber(date.substr(0, 4)) ||
      !IsNumber(date.substr(5, 2)) || !IsNumber(date.substr(8, 2))) {
    return std::nullopt;
  }
  std::string_view time = s.substr(t_at + 1);
  if (time.size() < 5 || time[2] != ':' || (time.size() > 5 && time[5] != ':')) return std::nullopt;
  std::optional<Time> t = ParseTime(time);
  if (!t) return std::nullopt;
  return FromParts(Parts{ToInt(date.substr(0, 4)), ToInt(date.substr(5, 2)), ToInt(date.substr(8, 2)), t->hour,
                         t->minute, t->second, t->millisecond});
}

}  // namespace

std::optional<int64_t> Parse(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text) s.push_back(AsciiLower(c));

  // Words split at blanks (commas too, for "March 5, 2024"); a lone AM/PM
  // joins the time before it.
  std::vector<std::string> words;
  std::string current;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || IsBlank(s[i]) || s[i] == ',') {
      if (current.empty()) continue;
      if ((current == "am" || current == "pm") && !words.empty()) {
        words.back() += current;
      } else {
        words.push_back(current);
      }
      current.clear();
    } else {
      current.push_back(s[i]);
    }
  }
  // An empty string is the zero date, 1900-01-01 00:00.
  if (words.empty()) return 0;
  if (words.size() == 1 && words[0].find('t') != std::string::npos && words[0].find(':') != std::string::npos) {
    return ParseIso(words[0]);
  }

  std::optional<Time> time;
  std::vector<std::string_view> date_words;
  for (const std::string& w : words) {
    bool is_time = w.find(':') != std::string::npos ||
                   (w.size() > 2 && IsDigit(w[0]) && (w.ends_with("am") || w.ends_with("pm")));
    if (is_time) {
      if (time) return std::nullopt;
      time = ParseTime(w);
      if (!time) return std::nullopt;
    } else {
      date_words.push_back(w);
    }
  }

  std::optional<Date> date = Date{};
  if (date_words.size() == 1 && !MonthFromName(date_words[0])) {
    // "5-mar-2024": a month name between separators reads like separate words.
    size_t sep_at = date_words[0].find_first_of("/-.");
    std::vector<std::string_view> parts =
        sep_at == std::string_view::npos ? std::vector<std::string_view>{} : Split(date_words[0], date_words[0][sep_at]);
    bool alphabetic = parts.size() == 3 && !IsNumber(parts[1]);
    date = alphabetic ? ParseAlphabeticDate(parts) : ParseNumericDate(date_words[0]);
  } else if (!date_words.empty()) {
    date = ParseAlphabeticDate(date_words);
  }
  if (!date) return std::nullopt;
  Time t = time.value_or(Time{});
  return FromParts(Parts{date->year, date->month, date->day, t.hour, t.minute, t.second, t.millisecond});
}

}  // namespace orv::engine::datetime
