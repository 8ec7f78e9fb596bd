// Row batching and literal formatting for the generated data script.
#include "demo/sql_writer.h"

#include <charconv>
#include <cstdlib>

namespace orv::demo {

namespace {

void AppendNumber(std::string& out, int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// Appends `value` left-padded with zeros to `width` digits.
void AppendPadded(std::string& out, int64_t value, int width) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  for (int n = static_cast<int>(result.ptr - buffer); n < width; ++n) out.push_back('0');
  out.append(buffer, result.ptr);
}

// Civil date of a day number (Howard Hinnant's days-to-civil algorithm).
void CivilFromDays(int32_t days, int& year, int& month, int& day) {
  const int32_t z = days + 719468;
  const int32_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int32_t doe = z - era * 146097;
  const int32_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int32_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int32_t mp = (5 * doy + 2) / 153;
  day = doy - (153 * mp + 2) / 5 + 1;
  month = mp < 10 ? mp + 3 : mp - 9;
  year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace

Day MakeDay(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int era = (year >= 0 ? year : year - 399) / 400;
  const int yoe = year - era * 400;
  const int doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return Day{era * 146097 + doe - 719468, 0};
}

TableWriter::TableWriter(const BatchSink& sink, std::string_view table, std::string_view columns)
    : sink_(sink) {
  head_.append("INSERT INTO ").append(table).append(" (").append(columns).append(") VALUES");
}

TableWriter::~TableWriter() { Flush(); }

TableWriter& TableWriter::Row() {
  if (rows_ == kRowsPerStatement) Flush();
  if (rows_ == 0) text_.append(head_);
  text_.append(rows_ == 0 ? "\n(" : "),\n(");
  ++rows_;
  first_value_ = true;
  return *this;
}

void TableWriter::Separate() {
  if (!first_value_) text_.push_back(',');
  first_value_ = false;
}

TableWriter& TableWriter::Int(int64_t value) {
  Separate();
  AppendNumber(text_, value);
  return *this;
}

TableWriter& TableWriter::Null() {
  Separate();
  text_.append("NULL");
  return *this;
}

TableWriter& TableWriter::Text(std::string_view value) {
  Separate();
  text_.append("N'");
  for (char c : value) {
    if (c == '\'') text_.push_back('\'');
    text_.push_back(c);
  }
  text_.push_back('\'');
  return *this;
}

TableWriter& TableWriter::Decimal(int64_t units, int scale) {
  Separate();
  if (units < 0) text_.push_back('-');
  const uint64_t magnitude = units < 0 ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
  uint64_t divisor = 1;
  for (int i = 0; i < scale; ++i) divisor *= 10;
  AppendNumber(text_, static_cast<int64_t>(magnitude / divisor));
  if (scale > 0) {
    text_.push_back('.');
    AppendPadded(text_, static_cast<int64_t>(magnitude % divisor), scale);
  }
  return *this;
}

TableWriter& TableWriter::Date(Day day) {
  Separate();
  int year = 0, month = 0, mday = 0;
  CivilFromDays(day.days, year, month, mday);
  text_.push_back('\'');
  AppendPadded(text_, year, 4);
  text_.push_back('-');
  AppendPadded(text_, month, 2);
  text_.push_back('-');
  AppendPadded(text_, mday, 2);
  if (day.seconds != 0) {
    text_.push_back(' ');
    AppendPadded(text_, day.seconds / 3600, 2);
    text_.push_back(':');
    AppendPadded(text_, day.seconds / 60 % 60, 2);
    text_.push_back(':');
    AppendPadded(text_, day.seconds % 60, 2);
  }
  text_.push_back('\'');
  return *this;
}

void TableWriter::Flush() {
  if (rows_ == 0) return;
  text_.push_back(')');
  sink_(text_);
  text_.clear();
  rows_ = 0;
}

}  // namespace orv::demo
