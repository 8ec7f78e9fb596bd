// The cultures FORMAT knows: English (United States, United Kingdom),
// German, French and Chinese (PRC), with .NET's patterns and names for them.
#include "engine/function/format_culture.h"

#include "engine/common/ascii.h"

namespace orv::engine::detail {
namespace {

constexpr std::string_view kEnglishMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                               "July",    "August",   "September", "October", "November", "December"};
constexpr std::string_view kEnglishMonthsShort[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::string_view kEnglishDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr std::string_view kEnglishDaysShort[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::string_view kGermanMonths[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                              "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
constexpr std::string_view kGermanMonthsShort[] = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                                   "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
constexpr std::string_view kGermanDays[] = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
constexpr std::string_view kGermanDaysShort[] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
constexpr std::string_view kFrenchMonths[] = {"janvier", "février", "mars",      "avril",   "mai",      "juin",
                                              "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};
constexpr std::string_view kFrenchMonthsShort[] = {"janv.", "févr.", "mars", "avr.", "mai",  "juin",
                                                   "juil.", "août",  "sept.", "oct.", "nov.", "déc."};
constexpr std::string_view kFrenchDays[] = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
constexpr std::string_view kFrenchDaysShort[] = {"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."};
constexpr std::string_view kChineseMonths[] = {"一月", "二月", "三月", "四月", "五月", "六月",
                                               "七月", "八月", "九月", "十月", "十一月", "十二月"};
constexpr std::string_view kChineseMonthsShort[] = {"1月", "2月", "3月", "4月",  "5月",  "6月",
                                                    "7月", "8月", "9月", "10月", "11月", "12月"};
constexpr std::string_view kChineseDays[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
constexpr std::string_view kChineseDaysShort[] = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};

constexpr Culture kCultures[] = {
    {"en-us", "/", ".", ",", "$n", "($n)", "n %", kEnglishMonths, kEnglishMonthsShort, kEnglishDays, kEnglishDaysShort,
     "AM", "PM", "M/d/yyyy", "dddd, MMMM d, yyyy", "h:mm tt", "h:mm:ss tt", "MMMM d", "MMMM yyyy"},
    {"en-gb", "/", ".", ",", "£n", "-£n", "n%", kEnglishMonths, kEnglishMonthsShort, kEnglishDays, kEnglishDaysShort,
     "AM", "PM", "dd/MM/yyyy", "dd MMMM yyyy", "HH:mm", "HH:mm:ss", "d MMMM", "MMMM yyyy"},
    {"de-de", ".", ",", ".", "n €", "-n €", "n %", kGermanMonths, kGermanMonthsShort, kGermanDays, kGermanDaysShort,
     "", "", "dd.MM.yyyy", "dddd, d. MMMM yyyy", "HH:mm", "HH:mm:ss", "d. MMMM", "MMMM yyyy"},
    {"fr-fr", "/", ",", "\u202f", "n €", "-n €", "n %", kFrenchMonths, kFrenchMonthsShort, kFrenchDays, kFrenchDaysShort,
     "", "", "dd/MM/yyyy", "dddd d MMMM yyyy", "HH:mm", "HH:mm:ss", "d MMMM", "MMMM yyyy"},
    {"zh-cn", "/", ".", ",", "¥n", "¥-n", "n%", kChineseMonths, kChineseMonthsShort, kChineseDays, kChineseDaysShort,
     "上午", "下午", "yyyy/M/d", "yyyy'年'M'月'd'日'", "H:mm", "H:mm:ss", "M'月'd'日'", "yyyy'年'M'月'"},
};

}  // namespace

const Culture* FindCulture(std::string_view name) {
  if (name.empty()) return &kCultures[0];
  const std::string lower = AsciiLower(name);
  for (const Culture& culture : kCultures) {
    if (culture.name == lower) return &culture;
  }
  return nullptr;
}

}  // namespace orv::engine::detail
