// What a caller can know about a report without running it: the condition
// keys it reads (type, the value an absent key reads as, meaning, the switch
// keys that turn a key on) and its result columns (caption, the column that
// holds a column's decimals, whether the column is internal). The data lives
// beside each report; the command line and the web service both read it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv::frame {

enum class ConditionType {
  Text,      // compared or spliced as text (number ranges, column lists)
  Date,      // a date, written yyyy-mm-dd
  Integer,   // a whole number (level ranges)
  Choice,    // one of a few numbered choices; other values select nothing
  Flag,      // a check box: 1 on, 0 off
  Position,  // a grouping position: 0 is the outermost group
};

std::string_view ConditionTypeName(ConditionType type);

// The state a switch key must be in for the keys it governs to be read.
enum class SwitchState {
  Checked,  // greater than 0
  One,      // equal to 1
  NonZero,  // not 0 (an absent key reads as its default)
  Zero,     // 0 or empty
};

struct ConditionSwitch {
  std::string_view key;
  SwitchState state;
};

struct ConditionChoice {
  int value;
  std::string_view meaning;
};

struct ConditionKey {
  std::string_view key;  // exact letter case: the dictionary compares keys exactly
  ConditionType type;
  // What an absent key reads as; empty when the report reads it without a
  // default, so that it reads as the empty value (which also equals 0).
  std::string_view default_value;
  std::string_view meaning;
  std::vector<ConditionChoice> choices = {};  // Choice keys: the values that select something
  std::string_view other_choices = {};        // Choice keys: what every other value does
  std::vector<ConditionSwitch> switches = {};  // all must hold for the key to be read
};

struct ColumnCaption {
  std::string_view column;
  std::string_view caption;  // the system's own simplified-Chinese text; translated per session
  // The column of the same row that holds this column's number of decimals.
  std::string_view precision_column = {};
  // Identifiers, decimals and sort marks: data for programs, not for readers.
  bool internal = false;
};

struct ReportSchema {
  std::string_view number;      // "2010001"
  std::string_view class_name;  // "CRPT2010001"
  std::string_view title;       // simplified Chinese, like the captions
  std::vector<ConditionKey> conditions;
  std::vector<ColumnCaption> columns;

  const ConditionKey* FindCondition(std::string_view key) const;  // exact letter case
  const ColumnCaption* FindColumn(std::string_view column) const;  // any letter case, as record set fields
};

// "FChkBillDate>0", "FChkGroupBy=1", "FChkLevel<>0", "FAppSource=0".
std::string DescribeSwitch(const ConditionSwitch& condition_switch);

}  // namespace orv::frame
