// The checks read values with the comparison rules the reports use (an
// empty value equals 0, numeric text compares as its number), so a warning
// says what the report will really do with the value.
#include "frame/condition_check.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "frame/closest_name.h"
#include "frame/ignore_case.h"
#include "platform/automation_error.h"
#include "platform/ole_date.h"

namespace orv::frame {
namespace {

using platform::Variant;
using platform::VarType;

constexpr int kLastGroupPosition = 18;

std::string ShownValue(const Variant& value) {
  if (value.IsNull()) return "Null";
  if (value.IsObject()) return "(object)";
  return value.ToString();
}

bool IsEmptyValue(const Variant& value) { return value.IsEmpty() || value.IsNull() || value.TextLength() == 0; }

std::optional<double> NumberOf(const Variant& value) {
  if (value.IsObject() || !value.IsNumeric()) return std::nullopt;
  return value.ToDouble();
}

bool IsDate(const Variant& value) {
  if (value.type() == VarType::Date) return true;
  return value.type() == VarType::String && platform::ParseDateText(value.ToString()).has_value();
}

std::string ChoiceList(const ConditionKey& key) {
  std::string list;
  for (const ConditionChoice& choice : key.choices) {
    if (!list.empty()) list += ", ";
    list += std::to_string(choice.value) + " (" + std::string(choice.meaning) + ")";
  }
  return list;
}

// The type check of one given value: an error message, or empty when the
// report can read the value.
std::string TypeError(const ConditionKey& key, const Variant& value) {
  const std::string shown = std::string(key.key) + "='" + ShownValue(value) + "'";
  switch (key.type) {
    case ConditionType::Text:
    case ConditionType::Position:
      return "";
    case ConditionType::Date:
      return IsDate(value) ? "" : "condition " + shown + " is not a date (write yyyy-mm-dd)";
    case ConditionType::Integer: {
      const std::optional<double> number = NumberOf(value);
      return number && std::floor(*number) == *number ? "" : "condition " + shown + " is not a whole number";
    }
    case ConditionType::Choice:
    case ConditionType::Flag:
      return NumberOf(value) ? "" : "condition " + shown + " is not a number";
  }
  return "";
}

// A warning when a readable value selects nothing: a choice outside the
// list, a grouping position outside the positions.
std::string NoEffectWarning(const ConditionKey& key, const Variant& value) {
  const std::string shown = std::string(key.key) + "=" + ShownValue(value);
  const std::optional<double> number = NumberOf(value);
  if (key.type == ConditionType::Choice) {
    const bool listed = number && std::any_of(key.choices.begin(), key.choices.end(),
                                              [&](const ConditionChoice& c) { return c.value == *number; });
    if (listed) return "";
    return shown + " is none of the choices " + ChoiceList(key) + ", so it selects " + std::string(key.other_choices);
  }
  if (key.type == ConditionType::Position) {
    if (number && std::floor(*number) == *number && *number >= 0 && *number <= kLastGroupPosition) return "";
    return shown + " is no grouping position (0 to " + std::to_string(kLastGroupPosition) +
           "), so the field is not grouped";
  }
  return "";
}

// The first switch of `key` that is off, if any.
const ConditionSwitch* SwitchOff(const ReportSchema& schema, const ConditionKey& key,
                                 const platform::ConditionDictionary& dct) {
  for (const ConditionSwitch& condition_switch : key.switches) {
    if (SwitchHolds(schema, condition_switch, dct) == false) return &condition_switch;
  }
  return nullptr;
}

ConditionIssue UnknownKeyIssue(const ReportSchema& schema, const std::string& key, bool allow_unknown) {
  const std::string_view closest = ClosestConditionKey(schema, key);
  std::string message =
      "'" + key + "' is not a condition of report " + std::string(schema.number) + "; did you mean '" +
      std::string(closest) + "'?";
  if (FoldCase(closest) == FoldCase(key)) message += " (keys are case-sensitive)";
  if (allow_unknown) message += " It is passed on as given.";
  return {allow_unknown ? IssueSeverity::Warning : IssueSeverity::Error, key, message};
}

}  // namespace

std::string_view ClosestConditionKey(const ReportSchema& schema, std::string_view key) {
  std::vector<std::string_view> keys;
  for (const ConditionKey& condition : schema.conditions) keys.push_back(condition.key);
  return ClosestName(key, keys);
}

std::optional<bool> SwitchHolds(const ReportSchema& schema, const ConditionSwitch& condition_switch,
                                const platform::ConditionDictionary& dct) {
  Variant value;
  if (dct.Exists(condition_switch.key)) {
    value = dct.Item(condition_switch.key);
  } else if (const ConditionKey* key = schema.FindCondition(condition_switch.key); key != nullptr) {
    if (!key->default_value.empty()) value = Variant(key->default_value);
  }
  if (value.IsNull()) return false;
  if (!IsEmptyValue(value) && !NumberOf(value)) return std::nullopt;
  switch (condition_switch.state) {
    case SwitchState::Checked:
      return platform::GreaterThan(value, Variant(0));
    case SwitchState::One:
      return platform::Equals(value, Variant(1));
    case SwitchState::NonZero:
      return !platform::Equals(value, Variant(0));
    case SwitchState::Zero:
      return platform::Equals(value, Variant(0));
  }
  return std::nullopt;
}

std::vector<ConditionIssue> CheckConditions(const ReportSchema& schema, const platform::ConditionDictionary& dct,
                                            bool allow_unknown) {
  std::vector<ConditionIssue> issues;
  for (const auto& [name, value] : dct.entries()) {
    const ConditionKey* key = schema.FindCondition(name);
    if (key == nullptr) {
      issues.push_back(UnknownKeyIssue(schema, name, allow_unknown));
      continue;
    }
    if (IsEmptyValue(value)) continue;
    if (const ConditionSwitch* off = SwitchOff(schema, *key, dct); off != nullptr) {
      issues.push_back({IssueSeverity::Warning, name,
                        name + "=" + ShownValue(value) + " is ignored: the report reads it only when " +
                            DescribeSwitch(*off)});
      continue;
    }
    if (std::string error = TypeError(*key, value); !error.empty()) {
      issues.push_back({IssueSeverity::Error, name, error});
    } else if (std::string warning = NoEffectWarning(*key, value); !warning.empty()) {
      issues.push_back({IssueSeverity::Warning, name, warning});
    }
  }
  return issues;
}

}  // namespace orv::frame
