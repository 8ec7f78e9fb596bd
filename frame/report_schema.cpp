// Lookups in a report's schema. Condition keys are matched exactly, as the
// condition dictionary matches them; column names without regard to case, as
// record set fields are found.
#include "frame/report_schema.h"

#include "frame/ignore_case.h"

namespace orv::frame {

std::string_view ConditionTypeName(ConditionType type) {
  switch (type) {
    case ConditionType::Text:
      return "text";
    case ConditionType::Date:
      return "date";
    case ConditionType::Integer:
      return "integer";
    case ConditionType::Choice:
      return "choice";
    case ConditionType::Flag:
      return "flag";
    case ConditionType::Position:
      return "position";
  }
  return "text";
}

const ConditionKey* ReportSchema::FindCondition(std::string_view key) const {
  for (const ConditionKey& condition : conditions) {
    if (condition.key == key) return &condition;
  }
  return nullptr;
}

const ColumnCaption* ReportSchema::FindColumn(std::string_view column) const {
  const std::string folded = FoldCase(column);
  for (const ColumnCaption& caption : columns) {
    if (FoldCase(caption.column) == folded) return &caption;
  }
  return nullptr;
}

std::string DescribeSwitch(const ConditionSwitch& condition_switch) {
  std::string text(condition_switch.key);
  switch (condition_switch.state) {
    case SwitchState::Checked:
      return text + ">0";
    case SwitchState::One:
      return text + "=1";
    case SwitchState::NonZero:
      return text + "<>0";
    case SwitchState::Zero:
      return text + "=0";
  }
  return text;
}

}  // namespace orv::frame
