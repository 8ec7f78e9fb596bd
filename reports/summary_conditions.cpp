// The keys of the always-grouped reports: the four group fields at their
// positions, the level switch with its range and the summary-only switch.
#include "reports/report_catalog.h"

namespace orv::reports {

using frame::ConditionSwitch;
using frame::ConditionType;
using frame::SwitchState;

std::vector<frame::ConditionKey> SummaryConditions(std::string_view by_person) {
  const ConditionSwitch levels{"FChkLevel", SwitchState::NonZero};
  return {
      {"FGroupByItem", ConditionType::Position, "",
       "group by item at this position (0 is the outermost); any value drops the item's detail columns"},
      {"FGroupBySupply", ConditionType::Position, "",
       "group by supplier at this position; any value drops the supplier's detail columns"},
      {"FGroupByAppUser", ConditionType::Position, "", by_person},
      {"FGroupByUseDept", ConditionType::Position, "",
       "group by using department at this position; any value drops its detail columns"},
      {"FChkLevel", ConditionType::Flag, "0",
       "non-zero adds the number levels FLvlFrom to FLvlTo of the outermost group"},
      {"FLvlFrom", ConditionType::Integer, "", "first number level", {}, {},
       {levels, {"FLvlTo", SwitchState::NonZero}}},
      {"FLvlTo", ConditionType::Integer, "0", "last number level; 0 adds no levels", {}, {}, {levels}},
      {"FShowSum", ConditionType::Flag, "", "1 returns only the subtotal and total rows"},
  };
}

}  // namespace orv::reports
