// Runs a report class end to end the way the client does (created by ProgID,
// GetRptData on a session of the tiny demo database) and reads the returned
// record set into texts that compare exactly: decimals as their exact decimal
// text, never through a double. Used by the row tests of every report.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host_objects.h"
#include "platform/recordset.h"
#include "platform/variant.h"

namespace orv::test {

// The session property string of the tiny demo database in `language`.
std::string TinySession(std::string_view language = "chs");
// The same session on the embedded database instance `data_source`.
std::string SessionOn(std::string_view data_source, std::string_view language);

// Creates report `prog_id` through the class registry, calls GetRptData and
// releases the object before returning, so the rows are read from a record
// set that outlives its report. Errors of GetRptData pass through unchanged.
std::shared_ptr<platform::Recordset> RunReport(std::string_view prog_id, std::string_view sDsn,
                                               const platform::ConditionDictionary* dct);

// "NULL" for Null, the text itself for text, an exact decimal without trailing
// zeros ("83.3333333333", "11300"), "yyyy-mm-dd" for a date at midnight and
// "yyyy-mm-dd hh:mm:ss" otherwise, digits for the integer types. A Double or
// any other type is tagged ("double:1.5"), as no report column should give one.
std::string CellText(const platform::Variant& value);

// A record set read from its first row to EOF.
struct ResultTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;  // CellText of each value

  // The text in `row` of `column`; an unknown column fails the test.
  std::string Cell(size_t row, std::string_view column) const;
  // The rows whose FSumSort is `sum_sort`, in record set order.
  std::vector<size_t> RowsWithSumSort(std::string_view sum_sort) const;
};
ResultTable ReadTable(platform::Recordset& recordset);

// A hand-worked row: column name -> expected CellText.
using RowValues = std::map<std::string, std::string>;

// Expected rows written column by column, as the hand-worked tables are: each
// column with its value in row 1, 2, ... Returns the rows.
struct ColumnValues {
  std::string name;
  std::vector<std::string> values;
};
std::vector<RowValues> RowsFromColumns(const std::vector<ColumnValues>& columns);

// The rows of `all` at the positions `which`, in that order.
template <typename Index>
std::vector<RowValues> Pick(const std::vector<RowValues>& all, const std::vector<Index>& which) {
  std::vector<RowValues> picked;
  for (Index index : which) picked.push_back(all.at(static_cast<size_t>(index)));
  return picked;
}

// Every column of `expected` against the table's `row`; names each mismatch.
::testing::AssertionResult RowMatches(const ResultTable& table, size_t row, const RowValues& expected);

// The detail rows (FSumSort 0) against `expected`, matched by their key (the
// texts of `key_columns` joined by "|"): the same keys, each row equal in
// every expected column, whatever the order of the rows.
::testing::AssertionResult DetailRowsMatch(const ResultTable& table, const std::vector<std::string>& key_columns,
                                           const std::vector<RowValues>& expected);

// The summary rows (FSumSort other than 0) against `expected`, the same way.
::testing::AssertionResult SummaryRowsMatch(const ResultTable& table, const std::vector<std::string>& key_columns,
                                            const std::vector<RowValues>& expected);

// The whole result: exactly the detail rows `details` (as DetailRowsMatch)
// and one total row (FSumSort 101), equal to `total` in every expected column.
::testing::AssertionResult ReportMatches(const ResultTable& table, const std::vector<std::string>& key_columns,
                                         const std::vector<RowValues>& details, const RowValues& total);

// The key of `row` (see DetailRowsMatch).
std::string RowKey(const ResultTable& table, size_t row, const std::vector<std::string>& key_columns);

}  // namespace orv::test
