// The condition keys of the procurement order execution report, as its
// filter reads them: without defaults, so an absent state key reads as the
// empty value, which counts as 0.
#include "reports/report_catalog.h"

namespace orv::reports::rpt2010005 {

using frame::ConditionSwitch;
using frame::ConditionType;
using frame::SwitchState;

namespace {

// The four execution states share their choices.
frame::ConditionKey ExecutionState(std::string_view key, std::string_view what, std::string_view done,
                                   std::string_view open) {
  return {key, ConditionType::Choice, "", what, {{0, done}, {1, open}, {2, "all lines"}}, "all lines"};
}

}  // namespace

const frame::ReportSchema& Schema() {
  const ConditionSwitch by_bill_date{"FChkBillDate", SwitchState::Checked};
  const ConditionSwitch by_delivery_date{"FChkDeliveryDate", SwitchState::Checked};
  static const frame::ReportSchema schema{
      "2010005",
      "CRPT2010005",
      "资产采购订单执行情况",
      {
          {"FChkBillDate", ConditionType::Flag, "", "1 filters by order date"},
          {"FBillStartDate", ConditionType::Date, "", "orders dated on or after this day", {}, {}, {by_bill_date}},
          {"FBillEndDate", ConditionType::Date, "", "orders dated on or before this day", {}, {}, {by_bill_date}},
          {"FChkDeliveryDate", ConditionType::Flag, "",
           "1 filters by delivery date"},
          {"FDeliveryStartDate", ConditionType::Date, "", "lines delivered on or after this day", {}, {},
           {by_delivery_date}},
          {"FDeliveryEndDate", ConditionType::Date, "", "lines delivered on or before this day", {}, {},
           {by_delivery_date}},
          {"FSupplyFrom", ConditionType::Text, "", "supplier numbers from this one on (compared as text)"},
          {"FSupplyTo", ConditionType::Text, "", "supplier numbers up to this one"},
          {"FProcurementFrom", ConditionType::Text, "", "order numbers from this one on"},
          {"FProcurementTo", ConditionType::Text, "", "order numbers up to this one"},
          {"FItemFrom", ConditionType::Text, "", "item numbers from this one on"},
          {"FItemTo", ConditionType::Text, "", "item numbers up to this one"},
          {"FEmpFrom", ConditionType::Text, "", "employee numbers from this one on"},
          {"FEmpTo", ConditionType::Text, "", "employee numbers up to this one"},
          {"FDeptFrom", ConditionType::Text, "", "purchasing department numbers from this one on"},
          {"FDeptTo", ConditionType::Text, "", "purchasing department numbers up to this one"},
          {"FBillRowStatus", ConditionType::Choice, "",
           "close state of the order line; absent or empty reads as 0",
           {{0, "closed lines"},
            {1, "lines closed, not by hand"},
            {2, "lines closed by hand"},
            {3, "open lines"},
            {4, "all lines"}},
           "all lines"},
          ExecutionState("FDeliveryStatus", "arrival; absent or empty reads as 0", "fully arrived lines",
                         "lines still to arrive"),
          ExecutionState("FAcceptanceStatus", "acceptance; absent or empty reads as 0", "fully accepted lines",
                         "lines still to accept"),
          ExecutionState("FInvoiceStatus", "invoicing; absent or empty reads as 0", "fully invoiced lines",
                         "lines still to invoice"),
          ExecutionState("FSettleStatus", "settlement; absent or empty reads as 0", "fully settled lines",
                         "lines still to settle"),
      },
      Captions()};
  return schema;
}

}  // namespace orv::reports::rpt2010005
