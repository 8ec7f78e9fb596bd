// The hostile-input tests' values, report runner, direct-query oracle and
// base-table fingerprint. Everything runs in one process on the shared
// "demo-tiny" instance, so a statement smuggled into a report's batch would
// show up in the fingerprint taken after the test.
#include "tests/hostile/hostile_fixture.h"

#include <algorithm>
#include <limits>
#include <mutex>

#include "demo/demo_database.h"
#include "engine/engine.h"
#include "reports/registration.h"
#include "frame/report_frame.h"
#include "platform/class_registry.h"
#include "platform/embedded_provider.h"
#include "platform/field.h"
#include "platform/recordset.h"

namespace orv::test {

const std::string kTinySession =
    "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-tiny};UserName=demo;UserID=16394;Language=chs;"
    "DBMS Name=Microsoft SQL Server;DBMS Version=08.00.2039;";

namespace {

using namespace std::string_literals;

void RegisterEverything() {
  static std::once_flag once;
  std::call_once(once, [] {
    platform::RegisterPlatformClasses();
    reports::RegisterComponent();
    demo::RegisterDemoDatabases();
  });
}

std::string Nested(char open, char close, size_t depth) {
  return std::string(depth, open) + std::string(depth, close);
}

// Cells of one row joined by a unit separator, which no demo value contains.
std::string JoinRow(const std::vector<std::string>& cells) {
  std::string row;
  for (const std::string& cell : cells) row += cell + '\x1f';
  return row;
}

std::string CellText(const platform::Variant& value) {
  if (value.IsNull()) return "NULL";
  return std::to_string(static_cast<int>(value.type())) + ":" + value.ToString();
}

// Runs `sql` on its own session of the database: each row's cells as texts.
std::optional<std::vector<std::vector<std::string>>> DirectRows(const std::string& sql,
                                                                std::string_view data_source = "demo-tiny") {
  RegisterEverything();
  engine::Session session(platform::GetDatabaseInstance(data_source));
  const engine::BatchResult result = session.Execute(sql);
  if (result.first_error() || result.result_sets.size() != 1) return std::nullopt;
  const engine::ResultSet& set = result.result_sets.front();
  std::vector<std::vector<std::string>> rows;
  for (size_t row = 0; row < set.row_count(); ++row) {
    std::vector<std::string> cells;
    for (size_t column = 0; column < set.column_count(); ++column) {
      cells.push_back(engine::FormatValue(set.at(row, column)));
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

// The name after each "CREATE TABLE " of the schema script (views are left out).
std::vector<std::string> BaseTableNames() {
  constexpr std::string_view kCreate = "CREATE TABLE ";
  const std::string schema = demo::SchemaScript();
  std::vector<std::string> names;
  for (size_t at = schema.find(kCreate); at != std::string::npos; at = schema.find(kCreate, at)) {
    at += kCreate.size();
    const size_t end = schema.find_first_of(" (\r\n", at);
    names.push_back(schema.substr(at, end - at));
  }
  return names;
}

}  // namespace

const std::vector<HostileValue>& HostileValues() {
  static const std::vector<HostileValue> values = {
      {"name with apostrophe", "O'Brien"},
      {"one apostrophe", "'"},
      {"two apostrophes", "''"},
      {"three apostrophes", "'''"},
      {"always-true text", "x' OR '1'='1"},
      {"always-true text sorting low", "0' OR '1'='1"},
      {"always-true number", "0 OR 1=1"},
      {"drop table", "'; DROP TABLE t_Supplier; --"},
      {"stacked delete", "1; DELETE FROM ICPurChase"},
      {"quoted stacked delete", "01'; DELETE FROM ICPurChase; --"},
      {"quoted stacked update", "01'; UPDATE t_Supplier SET FName=N'x'; --"},
      {"line comment", "--"},
      {"quote then line comment", "01' --"},
      {"block comment open", "/*"},
      {"quote then block comment", "01'/*"},
      {"block comment close", "*/"},
      {"line break and GO", "01'\r\nGO\r\nDELETE FROM t_Emp\r\nGO\r\n--"},
      {"right single quotation mark", "01\xE2\x80\x99 OR \xE2\x80\x99" "1\xE2\x80\x99=\xE2\x80\x99" "1"},
      {"fullwidth apostrophe", "01\xEF\xBC\x87 OR \xEF\xBC\x87" "1\xEF\xBC\x87=\xEF\xBC\x87" "1"},
      {"modifier letter apostrophe", "01\xCA\xBC; DELETE FROM t_Emp; --"},
      {"NUL byte", "01\0' OR '1'='1"s},
      {"NUL bytes only", std::string(3, '\0')},
      {"invalid UTF-8 lead bytes", "\xFF\xFE' OR '1'='1"},
      {"truncated UTF-8 before a quote", "01\xE2\x80' OR 1=1; DELETE FROM t_Emp; --"},
      {"double-byte lead before a quote", "01\xBF' OR 1=1; DELETE FROM t_Emp; --"},
      {"1 MB of letters", std::string(size_t{1} << 20, 'A')},
      {"1 MB of apostrophes", std::string(size_t{1} << 20, '\'')},
      {"deeply nested braces", Nested('{', '}', 100000)},
      {"deeply nested parentheses", "01') OR (" + Nested('(', ')', 100000) + "--"},
  };
  return values;
}

ReportOutcome RunReport(std::string_view prog_id, std::string_view sDsn, const platform::ConditionDictionary* dct,
                        const std::vector<std::string>& key_columns) {
  RegisterEverything();
  ReportOutcome outcome;
  std::shared_ptr<platform::Recordset> records;
  try {
    const auto report = std::dynamic_pointer_cast<frame::ReportFrame>(platform::CreateObject(prog_id));
    if (!report) throw std::logic_error(std::string(prog_id) + " is not a report class");
    records = report->GetRptData(sDsn, dct);
  } catch (const platform::AutomationError& error) {
    outcome.error = error;
    return outcome;
  }
  const platform::Fields& fields = records->Fields();
  if (records->RecordCount() == 0) return outcome;
  for (records->MoveFirst(); !records->Eof(); records->MoveNext()) {
    std::vector<std::string> cells;
    for (int32_t i = 0; i < fields.Count(); ++i) cells.push_back(CellText(records->Collect(i)));
    const std::string sum_sort = records->Collect("FSumSort").ToString();
    if (sum_sort == "101") {
      outcome.totals.push_back(JoinRow(cells));
    } else if (sum_sort == "0") {
      std::string key = key_columns.empty() ? JoinRow(cells) : "";
      for (size_t i = 0; i < key_columns.size(); ++i) {
        key += (i == 0 ? "" : "|") + records->Collect(key_columns[i]).ToString();
      }
      outcome.details[key] = JoinRow(cells);
    } else {
      ++outcome.other_rows;
    }
  }
  return outcome;
}

std::optional<std::set<std::string>> DirectKeys(const std::string& sql) {
  const auto rows = DirectRows(sql);
  if (!rows) return std::nullopt;
  std::set<std::string> keys;
  for (const std::vector<std::string>& cells : *rows) {
    std::string key;
    for (size_t i = 0; i < cells.size(); ++i) key += (i == 0 ? "" : "|") + cells[i];
    keys.insert(key);
  }
  return keys;
}

std::string Quoted(std::string_view text) {
  std::string quoted;
  for (char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted;
}

::testing::AssertionResult IsClearError(const ReportOutcome& outcome, std::string_view class_name) {
  if (!outcome.error) {
    return ::testing::AssertionFailure() << "no error raised; " << outcome.details.size() << " detail rows returned";
  }
  const platform::AutomationError& error = *outcome.error;
  const std::string source = "Orvalent." + std::string(class_name) + ".GetRptData";
  if (error.number() == 0 || error.description().empty() || error.source() != source) {
    return ::testing::AssertionFailure() << "unclear error: number " << error.number() << ", source ["
                                         << error.source() << "], description [" << error.description() << "]";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult HasDetailRows(const ReportOutcome& outcome, const ReportOutcome& baseline,
                                         const std::set<std::string>& keys, bool rolled_up_total) {
  if (outcome.error) {
    return ::testing::AssertionFailure() << "raised " << outcome.error->number() << " ["
                                         << outcome.error->description().substr(0, 300) << "]";
  }
  std::string problems;
  for (const std::string& key : keys) {
    const auto wanted = baseline.details.find(key);
    const auto got = outcome.details.find(key);
    if (wanted == baseline.details.end()) {
      problems += "\n the oracle's row " + key + " is not in the unfiltered report";
    } else if (got == outcome.details.end()) {
      problems += "\n missing detail row " + key;
    } else if (got->second != wanted->second) {
      problems += "\n detail row " + key + " differs from the unfiltered report's";
    }
  }
  for (const auto& [key, row] : outcome.details) {
    if (!keys.count(key)) problems += "\n unexpected detail row " + key;
  }
  const size_t totals = rolled_up_total && keys.empty() ? 0 : 1;
  if (outcome.totals.size() != totals) problems += "\n " + std::to_string(outcome.totals.size()) + " total rows";
  if (outcome.other_rows != 0) problems += "\n rows with another FSumSort";
  if (problems.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << problems;
}

const std::vector<OddValue>& OddValues() {
  using platform::Variant;
  static const std::vector<OddValue> values = {
      {"Null", Variant::Null()},
      {"Empty", Variant()},
      {"an object", Variant(std::shared_ptr<platform::Object>(std::make_shared<platform::ConditionDictionary>()))},
      {"True", Variant(true)},
      {"largest double", Variant(1.7976931348623157e308)},
      {"smallest double", Variant(-1.7976931348623157e308)},
      {"NaN", Variant(std::numeric_limits<double>::quiet_NaN())},
      {"infinity", Variant(std::numeric_limits<double>::infinity())},
      {"denormal", Variant(4.9e-324)},
      {"smallest integer", Variant(int16_t{-32768})},
      {"widest decimal", Variant::Decimal((static_cast<__int128>(1) << 96) - 1, 28)},
      {"smallest currency", Variant::Currency(std::numeric_limits<int64_t>::min())},
      {"first date 100-01-01", Variant::Date(-657434.0)},
      {"last second of 9999-12-31", Variant::Date(2958465.99998)},
      {"a hair before midnight", Variant::Date(45000.9999999999)},
  };
  return values;
}

void ExpectBoundIsLiteral(const ReportUnderTest& report, const platform::ConditionDictionary& base,
                          const ReportOutcome& baseline, std::string_view key, std::string_view comparison) {
  std::vector<OddValue> values;
  for (const HostileValue& value : HostileValues()) values.push_back({value.name, platform::Variant(value.text)});
  ExpectBoundIsLiteral(report, base, baseline, key, comparison, values);
}

void ExpectBoundIsLiteral(const ReportUnderTest& report, const platform::ConditionDictionary& base,
                          const ReportOutcome& baseline, std::string_view key, std::string_view comparison,
                          const std::vector<OddValue>& values) {
  for (const OddValue& value : values) {
    SCOPED_TRACE(std::string(key) + " = " + value.name);
    std::optional<std::set<std::string>> keys;
    try {
      keys = DirectKeys(value.value.TextLength() == 0
                            ? report.direct_select
                            : report.direct_select + " AND " + std::string(comparison) + "'" +
                                  Quoted(value.value.ToString()) + "'");
    } catch (const platform::AutomationError&) {
      // A value without a text: the report cannot splice it either.
    }
    platform::ConditionDictionary dct = base;
    dct.Set(key, value.value);
    const ReportOutcome outcome = RunReport(report.prog_id, kTinySession, &dct, report.key_columns);
    if (keys) {
      EXPECT_TRUE(HasDetailRows(outcome, baseline, *keys, report.rolled_up_total));
    } else {
      EXPECT_TRUE(IsClearError(outcome, report.class_name));
    }
  }
}

void ExpectEveryValueRaises(const ReportUnderTest& report, const platform::ConditionDictionary& base,
                            std::string_view key, int32_t number) {
  for (const HostileValue& value : HostileValues()) {
    SCOPED_TRACE(std::string(key) + " = " + value.name);
    platform::ConditionDictionary dct = base;
    dct.Set(key, platform::Variant(value.text));
    const ReportOutcome outcome = RunReport(report.prog_id, kTinySession, &dct, report.key_columns);
    EXPECT_TRUE(IsClearError(outcome, report.class_name));
    if (outcome.error) {
      EXPECT_EQ(outcome.error->number(), number) << outcome.error->description();
    }
  }
}

void ExpectWorkedBounds(const ReportUnderTest& report, const platform::ConditionDictionary& base,
                        const ReportOutcome& baseline, const std::vector<WorkedBound>& bounds) {
  for (const WorkedBound& bound : bounds) {
    SCOPED_TRACE(bound.key + " = " + bound.value);
    platform::ConditionDictionary dct = base;
    dct.Set(bound.key, platform::Variant(bound.value));
    EXPECT_TRUE(HasDetailRows(RunReport(report.prog_id, kTinySession, &dct, report.key_columns), baseline,
                              bound.lines, report.rolled_up_total));
  }
}

void ExpectOddValuesHandled(const ReportUnderTest& report, const platform::ConditionDictionary& base,
                            const ReportOutcome& baseline, std::string_view key) {
  for (const OddValue& value : OddValues()) {
    SCOPED_TRACE(std::string(key) + " = " + value.name);
    platform::ConditionDictionary dct = base;
    dct.Set(key, value.value);
    const ReportOutcome outcome = RunReport(report.prog_id, kTinySession, &dct, report.key_columns);
    if (outcome.error) {
      EXPECT_TRUE(IsClearError(outcome, report.class_name));
      continue;
    }
    std::set<std::string> keys;
    for (const auto& [row_key, row] : outcome.details) keys.insert(row_key);
    EXPECT_TRUE(HasDetailRows(outcome, baseline, keys, report.rolled_up_total));
  }
}

std::map<std::string, std::string> BaseTableFingerprint(std::string_view data_source) {
  std::map<std::string, std::string> fingerprint;
  for (const std::string& table : BaseTableNames()) {
    const auto count = DirectRows("SELECT COUNT(*) FROM " + table, data_source);
    const auto rows = DirectRows("SELECT * FROM " + table, data_source);
    if (!count || !rows) {
      fingerprint[table] = "<unreadable>";
      continue;
    }
    std::vector<std::string> lines;
    for (const std::vector<std::string>& cells : *rows) lines.push_back(JoinRow(cells));
    std::sort(lines.begin(), lines.end());
    std::string text = "count " + count->at(0).at(0) + "\n";
    for (const std::string& line : lines) text += line + "\n";
    fingerprint[table] = text;
  }
  return fingerprint;
}

void HostileTest::SetUp() {
  before_ = BaseTableFingerprint();
  ASSERT_GT(before_.size(), 20u) << "the demo schema lists too few tables";
  for (const auto& [table, text] : before_) ASSERT_NE(text, "<unreadable>") << table;
}

void HostileTest::TearDown() {
  const std::map<std::string, std::string> after = BaseTableFingerprint();
  for (const auto& [table, text] : before_) {
    EXPECT_EQ(after.at(table), text) << "base table " << table << " changed";
  }
}

}  // namespace orv::test
