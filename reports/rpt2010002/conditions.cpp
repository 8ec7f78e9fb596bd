// The condition keys of the expense invoice report: the filter (read without
// defaults; an empty value is skipped) and the grouping choices, which count
// only in grouped mode.
#include "reports/report_catalog.h"

namespace orv::reports::rpt2010002 {

using frame::ConditionSwitch;
using frame::ConditionType;
using frame::SwitchState;

const frame::ReportSchema& Schema() {
  const ConditionSwitch grouped{"FChkGroupBy", SwitchState::One};
  static const frame::ReportSchema schema{
      "2010002",
      "CRPT2010002",
      "资产采购费用发票",
      {
          {"FStartDate", ConditionType::Date, "", "invoices dated on or after this day"},
          {"FEndDate", ConditionType::Date, "", "invoices dated on or before this day"},
          {"FExpenseFrom", ConditionType::Text, "", "fee numbers from this one on (compared as text)"},
          {"FExpenseTo", ConditionType::Text, "", "fee numbers up to this one"},
          {"FSupplyFrom", ConditionType::Text, "", "supplier numbers from this one on (there is no upper bound)"},
          {"FBillStatus", ConditionType::Choice, "", "check state of the invoice",
           {{0, "fully checked invoices only"}, {1, "invoices in the check process only"}, {2, "all invoices"}},
           "all invoices"},
          {"FHookStatus", ConditionType::Choice, "", "hook state of the invoice line",
           {{0, "lines with a hook log entry only"}, {1, "lines without one only"}, {2, "all lines"}},
           "all lines"},
          {"FChkGroupBy", ConditionType::Flag, "0",
           "1 groups the lines with subtotals; otherwise the lines and one total row"},
          {"FGroupBySupply", ConditionType::Position, "", "group by supplier (the dialog writes 0)", {}, {},
           {grouped}},
          {"FGroupBySupplyType", ConditionType::Position, "",
           "group by supplier, with its number levels (the dialog writes 1)", {}, {}, {grouped}},
          {"FGroupByExpense", ConditionType::Position, "",
           "group by fee, with its number levels (the dialog writes 2)", {}, {}, {grouped}},
          {"FGroupByExpenseType", ConditionType::Position, "", "group by expense type (the dialog writes 3)", {}, {},
           {grouped}},
          {"FGroupBySupAndExp", ConditionType::Position, "",
           "group by fee, then supplier; levels of the supplier (the dialog writes 4)", {}, {}, {grouped}},
          {"FGroupByExpAndSup", ConditionType::Position, "",
           "group by fee, then supplier; levels of the fee (the dialog writes 5)", {}, {}, {grouped}},
          {"FLvlFrom", ConditionType::Integer, "0", "first number level of the outermost group", {}, {},
           {grouped, {"FLvlTo", SwitchState::NonZero}}},
          {"FLvlTo", ConditionType::Integer, "0", "last number level of the outermost group; 0 adds no levels", {},
           {}, {grouped}},
          {"FShowSum", ConditionType::Flag, "", "1 returns only the subtotal and total rows", {}, {}, {grouped}},
      },
      Captions()};
  return schema;
}

}  // namespace orv::reports::rpt2010002
