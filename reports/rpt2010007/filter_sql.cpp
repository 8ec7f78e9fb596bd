// GetFilterSQL of the application tracking report: the user's conditions as
// two predicate texts, one on the aliases of the application lines and one on
// those of the requisition lines, in the order the dialog's conditions are
// read. Outside the application view the ranges restrict the requisitions too.
#include <array>

#include "reports/rpt2010007/sql_routines.h"
#include "toolkit/condition_sql.h"

namespace orv::reports::rpt2010007 {

namespace {

// Each bound stands alone: "from" and "to" are independent.
constexpr std::array<toolkit::BoundCondition, 10> kAppBounds{{
    {"FItemFrom", " AND tc.FNumber >='"},
    {"FItemTo", " AND tc.FNumber <='"},
    {"FAppDeptFrom", " AND td.FNumber>='"},
    {"FAppDeptTo", " AND td.FNumber<='"},
    {"FUseDeptFrom", " AND td2.FNumber>='"},
    {"FUseDeptTo", " AND td2.FNumber<='"},
    {"FSupplyFrom", " AND ts.FNumber>='"},
    {"FSupplyTo", " AND ts.FNumber<='"},
    {"FAppUserFrom", " AND te.FNumber>='"},
    {"FAppUserTo", " AND te.FNumber<='"},
}};

// A requisition has no applying department; its own department stands for
// the using one and its applicant for the application's.
constexpr std::array<toolkit::BoundCondition, 8> kCipBounds{{
    {"FItemFrom", " AND tc.FNumber >='"},
    {"FItemTo", " AND tc.FNumber <='"},
    {"FUseDeptFrom", " AND td.FNumber >='"},
    {"FUseDeptTo", " AND td.FNumber <='"},
    {"FSupplyFrom", " AND ts.FNumber >='"},
    {"FSupplyTo", " AND ts.FNumber <='"},
    {"FAppUserFrom", " AND te.FNumber >='"},
    {"FAppUserTo", " AND te.FNumber <='"},
}};

// On one of the steps of the multi-level audit (0), or through it (1).
constexpr std::array<std::string_view, 2> kAppAuditStates{
    " AND (aa.FMultiCheckStatus = 2 OR aa.FMultiCheckStatus = 4 OR aa.FMultiCheckStatus =  8 )",
    " AND (aa.FMultiCheckStatus = 16 )",
};
constexpr std::array<std::string_view, 2> kCipAuditStates{
    " AND (ca.FMultiCheckStatus = 2 OR ca.FMultiCheckStatus = 4 OR ca.FMultiCheckStatus =  8 )",
    " AND (ca.FMultiCheckStatus = 16 )",
};

// Open (0) or closed (1) applications.
constexpr std::array<std::string_view, 2> kCloseStates{
    " AND aa.FCloseStatus = 0",
    " AND aa.FCloseStatus= 1",
};

}  // namespace

void GetFilterSQL(const platform::ConditionDictionary& dct, std::string& strAppWhere, std::string& strCipWhere) {
  strAppWhere = "\r\n";
  strCipWhere = "\r\n";
  const bool application_view = ViewKeySet(dct, "FAppSource", 1);
  strAppWhere += toolkit::DateRangePredicate(dct, "aa.FAppDate", "FStartDate", "FEndDate");
  if (!application_view) strCipWhere += toolkit::DateRangePredicate(dct, "ca.FDate", "FStartDate", "FEndDate");
  strAppWhere += toolkit::BoundPredicates(dct, kAppBounds);
  if (!application_view) strCipWhere += toolkit::BoundPredicates(dct, kCipBounds);
  strAppWhere += toolkit::StatusPredicate(dct, "FBillStatus", kAppAuditStates);
  strCipWhere += toolkit::StatusPredicate(dct, "FBillStatus", kCipAuditStates);
  strAppWhere += toolkit::StatusPredicate(dct, "FCloseStatus", kCloseStates);
  // Unless asked for all, only the lines of which something was executed.
  if (application_view && platform::Equals(dct.GetValue("FShowUnDo", platform::Variant(0)), platform::Variant(0))) {
    strAppWhere += " AND ae.FNoDoQty <>  ae.FCheckQty ";
  }
}

}  // namespace orv::reports::rpt2010007
