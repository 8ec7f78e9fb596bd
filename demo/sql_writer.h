// Writes rows of one table as INSERT ... VALUES statements of at most 500 rows,
// handing each finished statement to a sink as one batch. Values are written as
// literals SQL Server reads the same way on every machine: N'' texts with
// apostrophes doubled, plain decimals, dates as 'yyyy-mm-dd[ hh:mm:ss]'.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orv::demo {

// Receives one batch of SQL text (one INSERT statement).
using BatchSink = std::function<void(std::string_view batch)>;

// A calendar day counted from 1970-01-01 (day 0), with an optional time of day.
struct Day {
  int32_t days = 0;
  int32_t seconds = 0;  // seconds after midnight
};

// Day number of a calendar date (proleptic Gregorian).
Day MakeDay(int year, int month, int day);

class TableWriter {
 public:
  static constexpr int kRowsPerStatement = 500;

  // `columns` is the column list without parentheses, e.g. "FItemID,FNumber,FName".
  TableWriter(const BatchSink& sink, std::string_view table, std::string_view columns);
  ~TableWriter();  // flushes the rows not yet written
  TableWriter(const TableWriter&) = delete;
  TableWriter& operator=(const TableWriter&) = delete;

  // One row: call Row(), then one value call per column, in column order.
  TableWriter& Row();
  TableWriter& Int(int64_t value);
  TableWriter& Null();
  TableWriter& Text(std::string_view value);  // N'...' with apostrophes doubled
  // `units` counted in 10^-scale, e.g. Decimal(12345, 2) writes 123.45.
  TableWriter& Decimal(int64_t units, int scale);
  TableWriter& Date(Day day);

  // Optional values: NULL when `present` is false.
  TableWriter& IntOrNull(bool present, int64_t value) { return present ? Int(value) : Null(); }
  TableWriter& DecimalOrNull(bool present, int64_t units, int scale) {
    return present ? Decimal(units, scale) : Null();
  }
  TableWriter& TextOrNull(bool present, std::string_view value) { return present ? Text(value) : Null(); }
  TableWriter& DateOrNull(bool present, Day day) { return present ? Date(day) : Null(); }

 private:
  void Separate();
  void Flush();

  const BatchSink& sink_;
  std::string head_;  // "INSERT INTO t (cols) VALUES"
  std::string text_;
  int rows_ = 0;
  bool first_value_ = true;
};

}  // namespace orv::demo
