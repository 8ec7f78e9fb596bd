// GetFilterSQL of the procurement order execution report: the user's
// conditions as predicates on the aliases of the detail batch (aa order
// header, ae order line, ts supplier, tc item, te employee, td department),
// in the order the dialog's conditions are read.
#include <array>

#include "reports/rpt2010005/sql_routines.h"
#include "toolkit/condition_sql.h"

namespace orv::reports::rpt2010005 {

namespace {

using platform::ConditionDictionary;
using platform::Variant;

bool Checked(const ConditionDictionary& dct, std::string_view key) {
  return platform::GreaterThan(dct.Item(key), Variant(0));
}

bool StatusChosen(const ConditionDictionary& dct, std::string_view key) {
  return platform::GreaterOrEqual(dct.Item(key), Variant(0));
}

bool StatusIs(const ConditionDictionary& dct, std::string_view key, int32_t value) {
  return platform::Equals(dct.Item(key), Variant(value));
}

// Each bound stands alone: "from" and "to" are independent.
constexpr std::array<toolkit::BoundCondition, 10> kNumberBounds{{
    {"FSupplyFrom", " AND ts.FNumber>='"},
    {"FSupplyTo", " AND ts.FNumber<='"},
    {"FProcurementFrom", " AND aa.FBillNo>='"},
    {"FProcurementTo", " AND aa.FBillNo<='"},
    {"FItemFrom", " AND tc.FNumber >='"},
    {"FItemTo", " AND tc.FNumber <='"},
    {"FEmpFrom", " AND te.FNumber>='"},
    {"FEmpTo", " AND te.FNumber<='"},
    {"FDeptFrom", " AND td.FNumber>='"},
    {"FDeptTo", " AND td.FNumber<='"},
}};

struct ExecutionState {
  std::string_view key;
  std::string_view done;      // value 0
  std::string_view not_done;  // value 1
};

// Raw line columns: a NULL quantity satisfies neither choice.
constexpr std::array<ExecutionState, 4> kExecutionStates{{
    {"FDeliveryStatus", " AND (ae.FQty - ae.FAuxRelateQty) <= 0", " AND (ae.FQty - ae.FAuxRelateQty) > 0 "},
    {"FAcceptanceStatus", " AND (ae.FQty - ae.FAcceptQty) <= 0", " AND (ae.FQty - ae.FAcceptQty) > 0 "},
    {"FInvoiceStatus", " AND (ae.FQty - ae.FInvoiceQty) <= 0", " AND (ae.FQty - ae.FInvoiceQty) > 0 "},
    {"FSettleStatus", " AND (ae.FTotalAmt - ae.FReceiveRelateAmt) <= 0",
     " AND (ae.FTotalAmt - ae.FReceiveRelateAmt) > 0 "},
}};

// Line close status 0 to 3; 4 or any other value means all lines.
constexpr std::array<std::string_view, 4> kRowStatuses{
    " AND ae.FCloseStatus = 1",
    " AND ae.FCloseStatus = 1 And ae.FHandCloseStatus = 0 ",
    " AND ae.FCloseStatus = 1 And ae.FHandCloseStatus = 1",
    " AND ae.FCloseStatus = 0",
};

}  // namespace

std::string GetFilterSQL(const ConditionDictionary* dct) {
  std::string filter = "\r\n";
  if (dct == nullptr) return filter;

  // Every key is read afresh at each test, as the dialog's values are live.
  if (Checked(*dct, "FChkBillDate")) {
    filter += toolkit::DateRangePredicate(*dct, "aa.FDate", "FBillStartDate", "FBillEndDate");
  }
  if (Checked(*dct, "FChkDeliveryDate")) {
    filter += toolkit::DateRangePredicate(*dct, "ae.FDeliveryDate", "FDeliveryStartDate", "FDeliveryEndDate");
  }
  filter += toolkit::BoundPredicates(*dct, kNumberBounds);

  if (StatusChosen(*dct, "FBillRowStatus")) {
    for (size_t value = 0; value < kRowStatuses.size(); ++value) {
      if (StatusIs(*dct, "FBillRowStatus", static_cast<int32_t>(value))) {
        filter += kRowStatuses[value];
        break;
      }
    }
  }

  for (const ExecutionState& state : kExecutionStates) {
    if (!StatusChosen(*dct, state.key)) continue;
    if (StatusIs(*dct, state.key, 0)) {
      filter += state.done;
    } else if (StatusIs(*dct, state.key, 1)) {
      filter += state.not_done;
    }
  }

  // Only orders through the whole multi-level check are reported.
  filter += " And aa.FMultiCheckStatus = 16 ";
  return filter;
}

}  // namespace orv::reports::rpt2010005
