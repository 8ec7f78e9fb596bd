// What the hostile-input tests share: the values an attacker (or a careless
// client) can put into a condition or a session string, a runner that turns a
// report call into either rows or the error it raised, a direct query on the
// same embedded database as the oracle, and a fingerprint of every demo base
// table that each test compares before and after it runs.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation_error.h"
#include "platform/host_objects.h"

namespace orv::test {

// The session of the tiny demo database in simplified Chinese.
extern const std::string kTinySession;

struct HostileValue {
  std::string name;  // shown in failure messages (the value itself may be 1 MB or binary)
  std::string text;
};
// Quote breaking, comments, stacked statements, look-alike quotes, NUL bytes,
// invalid UTF-8, 1 MB values and deep nesting.
const std::vector<HostileValue>& HostileValues();

// The rows a report returned, each row one text (cells joined by a unit
// separator), detail rows (FSumSort 0) sorted since no report promises their
// order; or the error the call raised.
struct ReportOutcome {
  std::optional<platform::AutomationError> error;
  std::map<std::string, std::string> details;  // detail-row key -> whole row text
  std::vector<std::string> totals;             // the FSumSort 101 rows
  size_t other_rows = 0;                       // rows with any other FSumSort
};

// Creates the report by ProgID, calls GetRptData and reads the record set.
// `key_columns` name the detail rows (their texts joined by "|"); without
// them a row's key is its whole text.
ReportOutcome RunReport(std::string_view prog_id, std::string_view sDsn, const platform::ConditionDictionary* dct,
                        const std::vector<std::string>& key_columns);

// The first column values of each row, joined by "|", of a query run directly
// on the tiny demo database; nothing when the database refused it.
std::optional<std::set<std::string>> DirectKeys(const std::string& sql);

// `text` with every apostrophe doubled, for the oracle's own literals.
std::string Quoted(std::string_view text);

// A clear error: a number, a description and the report's GetRptData source.
::testing::AssertionResult IsClearError(const ReportOutcome& outcome, std::string_view class_name);

// The detail rows of `baseline` whose keys are `keys`, and one total row (none
// when there is no line and the report's total is a rollup row, which a
// rollup of no rows does not make).
::testing::AssertionResult HasDetailRows(const ReportOutcome& outcome, const ReportOutcome& baseline,
                                         const std::set<std::string>& keys, bool rolled_up_total = false);

// A report as the tests drive it: its ProgID and class, the columns that name
// its detail rows, and the oracle's SELECT of those keys over the same joins,
// ending in a WHERE clause to which a predicate can be added with " AND ".
struct ReportUnderTest {
  std::string prog_id;
  std::string class_name;
  std::vector<std::string> key_columns;
  std::string direct_select;
  bool rolled_up_total = false;  // the total comes from a rollup: no line, no total
};

// Sets `key` to each hostile value on top of `base` and checks that the report
// treats it as the literal text of `comparison` (such as "sup.FNumber>="): the
// detail rows of `baseline` that the oracle finds with the value properly
// quoted, or a clear error when the database refuses even the quoted value.
void ExpectBoundIsLiteral(const ReportUnderTest& report, const platform::ConditionDictionary& base,
                          const ReportOutcome& baseline, std::string_view key, std::string_view comparison);

// Automation values that are no text: Null, Empty, an object, extreme and
// non-finite doubles, the calendar's first and last dates, the widest decimal
// and currency.
struct OddValue {
  std::string name;
  platform::Variant value;
};
const std::vector<OddValue>& OddValues();

// The same for any automation value: one whose text is empty leaves the
// condition out, one that has no text must raise, and any other compares as
// its text.
void ExpectBoundIsLiteral(const ReportUnderTest& report, const platform::ConditionDictionary& base,
                          const ReportOutcome& baseline, std::string_view key, std::string_view comparison,
                          const std::vector<OddValue>& values);

// Sets `key` to each hostile value on top of `base` and checks that the call
// raises `number` with the report's source.
void ExpectEveryValueRaises(const ReportUnderTest& report, const platform::ConditionDictionary& base,
                            std::string_view key, int32_t number);

// A bound worked out by hand and the detail-row keys it must select.
struct WorkedBound {
  std::string key;
  std::string value;
  std::set<std::string> lines;
};
void ExpectWorkedBounds(const ReportUnderTest& report, const platform::ConditionDictionary& base,
                        const ReportOutcome& baseline, const std::vector<WorkedBound>& bounds);

// Sets `key` to each odd value on top of `base`: the call either raises a
// clear error or returns rows each equal to the same row of `baseline`.
void ExpectOddValuesHandled(const ReportUnderTest& report, const platform::ConditionDictionary& base,
                            const ReportOutcome& baseline, std::string_view key);

// Row count and content of every base table of the demo schema in the
// embedded database `data_source`; "<unreadable>" for a table that is gone.
std::map<std::string, std::string> BaseTableFingerprint(std::string_view data_source = "demo-tiny");

// Checks after each test that no base table of the demo database changed.
class HostileTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  std::map<std::string, std::string> before_;
};

}  // namespace orv::test
