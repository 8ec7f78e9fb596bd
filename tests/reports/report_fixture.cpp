// The report row tests' runner and readers. The class registry, the report
// classes and the demo databases are registered once per process; the tiny
// demo database is one shared instance, which the reports only read.
#include "tests/reports/report_fixture.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <stdexcept>

#include "demo/demo_database.h"
#include "reports/registration.h"
#include "frame/report_frame.h"
#include "platform/class_registry.h"
#include "platform/numeric_text.h"
#include "platform/ole_date.h"

namespace orv::test {

namespace {

void RegisterEverything() {
  static std::once_flag once;
  std::call_once(once, [] {
    platform::RegisterPlatformClasses();
    reports::RegisterComponent();
    demo::RegisterDemoDatabases();
  });
}

std::string DateText(double ole_date) {
  const platform::CivilDateTime civil = platform::FromOleDate(ole_date);
  const bool midnight = civil.hour == 0 && civil.minute == 0 && civil.second == 0;
  return platform::FormatCivil(civil, !midnight);
}

// The texts of the key columns joined by "|".
template <typename CellOf>
std::string JoinKey(const std::vector<std::string>& key_columns, CellOf cell_of) {
  std::string key;
  for (size_t i = 0; i < key_columns.size(); ++i) key += (i == 0 ? "" : "|") + cell_of(key_columns[i]);
  return key;
}

}  // namespace

std::string SessionOn(std::string_view data_source, std::string_view language) {
  return "ConnectString={Provider=Orvalent.Embedded;Data Source=" + std::string(data_source) +
         "};UserName=demo;UserID=16394;Language=" + std::string(language) +
         ";DBMS Name=Microsoft SQL Server;DBMS Version=08.00.2039;";
}

std::string TinySession(std::string_view language) { return SessionOn("demo-tiny", language); }

std::shared_ptr<platform::Recordset> RunReport(std::string_view prog_id, std::string_view sDsn,
                                               const platform::ConditionDictionary* dct) {
  RegisterEverything();
  const auto report = std::dynamic_pointer_cast<frame::ReportFrame>(platform::CreateObject(prog_id));
  if (!report) throw std::logic_error(std::string(prog_id) + " is not a report class");
  return report->GetRptData(sDsn, dct);
}

std::string CellText(const platform::Variant& value) {
  using platform::VarType;
  switch (value.type()) {
    case VarType::Null:
      return "NULL";
    case VarType::String:
    case VarType::Integer:
    case VarType::Long:
      return value.ToString();
    case VarType::Decimal:
      return platform::FormatScaled(value.decimal_unscaled(), value.decimal_scale());
    case VarType::Date:
      return DateText(value.date());
    case VarType::Empty:
      return "<Empty>";
    default:
      return (value.type() == VarType::Double ? "double:" : "vartype" + std::to_string(int(value.type())) + ":") +
             value.ToString();
  }
}

std::string ResultTable::Cell(size_t row, std::string_view column) const {
  const auto found = std::find(columns.begin(), columns.end(), column);
  if (found == columns.end()) {
    ADD_FAILURE() << "the record set has no column " << column;
    return "<no column>";
  }
  return rows.at(row).at(static_cast<size_t>(found - columns.begin()));
}

std::vector<size_t> ResultTable::RowsWithSumSort(std::string_view sum_sort) const {
  std::vector<size_t> found;
  for (size_t row = 0; row < rows.size(); ++row) {
    if (Cell(row, "FSumSort") == sum_sort) found.push_back(row);
  }
  return found;
}

ResultTable ReadTable(platform::Recordset& recordset) {
  ResultTable table;
  const platform::Fields& fields = recordset.Fields();
  for (int32_t i = 0; i < fields.Count(); ++i) table.columns.push_back(fields.Item(i).Name());
  if (recordset.RecordCount() == 0) return table;
  for (recordset.MoveFirst(); !recordset.Eof(); recordset.MoveNext()) {
    std::vector<std::string> row;
    for (int32_t i = 0; i < fields.Count(); ++i) row.push_back(CellText(recordset.Collect(i)));
    table.rows.push_back(std::move(row));
  }
  return table;
}

std::vector<RowValues> RowsFromColumns(const std::vector<ColumnValues>& columns) {
  std::vector<RowValues> rows;
  for (const ColumnValues& column : columns) {
    if (rows.empty()) rows.resize(column.values.size());
    if (column.values.size() != rows.size()) {
      throw std::logic_error("column " + column.name + " has a different number of rows");
    }
    for (size_t row = 0; row < rows.size(); ++row) rows[row][column.name] = column.values[row];
  }
  return rows;
}

::testing::AssertionResult RowMatches(const ResultTable& table, size_t row, const RowValues& expected) {
  std::string mismatches;
  for (const auto& [column, value] : expected) {
    const std::string actual = table.Cell(row, column);
    if (actual != value) mismatches += "\n  " + column + ": expected [" + value + "], got [" + actual + "]";
  }
  if (mismatches.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "row " << row << mismatches;
}

std::string RowKey(const ResultTable& table, size_t row, const std::vector<std::string>& key_columns) {
  return JoinKey(key_columns, [&](const std::string& column) { return table.Cell(row, column); });
}

namespace {

// The rows at `rows` against `expected`, matched by their key: the same keys,
// each row equal in every expected column. `what` names the rows in messages.
::testing::AssertionResult KeyedRowsMatch(const ResultTable& table, const std::vector<size_t>& rows,
                                          const std::vector<std::string>& key_columns,
                                          const std::vector<RowValues>& expected, const std::string& what) {
  std::map<std::string, const RowValues*> wanted;
  for (const RowValues& row : expected) {
    wanted[JoinKey(key_columns, [&](const std::string& column) { return row.at(column); })] = &row;
  }
  std::set<std::string> seen;
  std::string problems;
  for (size_t row : rows) {
    const std::string key = RowKey(table, row, key_columns);
    if (!seen.insert(key).second) problems += "\n " + what + " " + key + " appears twice";
    const auto found = wanted.find(key);
    if (found == wanted.end()) {
      problems += "\n unexpected " + what + " " + key;
      continue;
    }
    const ::testing::AssertionResult same = RowMatches(table, row, *found->second);
    if (!same) problems += "\n " + what + " " + key + ": " + same.message();
  }
  for (const auto& [key, values] : wanted) {
    if (!seen.count(key)) problems += "\n missing " + what + " " + key;
  }
  if (problems.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << problems;
}

}  // namespace

::testing::AssertionResult DetailRowsMatch(const ResultTable& table, const std::vector<std::string>& key_columns,
                                           const std::vector<RowValues>& expected) {
  return KeyedRowsMatch(table, table.RowsWithSumSort("0"), key_columns, expected, "detail row");
}

::testing::AssertionResult SummaryRowsMatch(const ResultTable& table, const std::vector<std::string>& key_columns,
                                            const std::vector<RowValues>& expected) {
  std::vector<size_t> rows;
  for (size_t row = 0; row < table.rows.size(); ++row) {
    if (table.Cell(row, "FSumSort") != "0") rows.push_back(row);
  }
  return KeyedRowsMatch(table, rows, key_columns, expected, "summary row");
}

::testing::AssertionResult ReportMatches(const ResultTable& table, const std::vector<std::string>& key_columns,
                                         const std::vector<RowValues>& details, const RowValues& total) {
  if (table.rows.size() != details.size() + 1) {
    return ::testing::AssertionFailure() << table.rows.size() << " rows where " << details.size()
                                         << " detail rows and the total were expected";
  }
  const ::testing::AssertionResult detail = DetailRowsMatch(table, key_columns, details);
  if (!detail) return detail;
  const std::vector<size_t> totals = table.RowsWithSumSort("101");
  if (totals.size() != 1) return ::testing::AssertionFailure() << totals.size() << " total rows instead of one";
  return RowMatches(table, totals[0], total);
}

}  // namespace orv::test
