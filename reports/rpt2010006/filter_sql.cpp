// GetFilterSQL of the requisition report: the user's conditions as predicates
// on the aliases of the detail batch (ca requisition, tc item, td department,
// ts supplier, te requisitioner), in the order the dialog's conditions are read.
#include <array>

#include "reports/rpt2010006/sql_routines.h"
#include "toolkit/condition_sql.h"

namespace orv::reports::rpt2010006 {

namespace {

// Each bound stands alone: "from" and "to" are independent.
constexpr std::array<toolkit::BoundCondition, 8> kNumberBounds{{
    {"FItemFrom", " AND tc.FNumber >='"},
    {"FItemTo", " AND tc.FNumber <='"},
    {"FUseDeptFrom", " AND td.FNumber>='"},
    {"FUseDeptTo", " AND td.FNumber<='"},
    {"FSupplyFrom", " AND ts.FNumber>='"},
    {"FSupplyTo", " AND ts.FNumber<='"},
    {"FAppUserFrom", " AND te.FNumber>='"},
    {"FAppUserTo", " AND te.FNumber<='"},
}};

// From the warehouse (0) or from asset purchase (1); 2 means both.
constexpr std::array<std::string_view, 2> kSources{
    " AND ca.FSourceID = 1",
    " AND ca.FSourceID = 2",
};

// On one of the steps of the multi-level check (0), or through it (1).
constexpr std::array<std::string_view, 2> kCheckStatuses{
    " AND (ca.FMultiCheckStatus = 2 OR ca.FMultiCheckStatus = 4 OR ca.FMultiCheckStatus =  8 )",
    " AND (ca.FMultiCheckStatus = 16 )",
};

// Construction in progress (0), fixed assets (1), low-value consumables (2); 3 means all.
constexpr std::array<std::string_view, 3> kPurposes{
    " AND ca.FPurposeID = 1",
    " AND ca.FPurposeID= 2",
    " AND ca.FPurposeID= 3",
};

}  // namespace

std::string GetFilterSQL(const platform::ConditionDictionary* dct) {
  std::string filter = "\r\n";
  if (dct == nullptr) return filter;
  filter += toolkit::DateRangePredicate(*dct, "ca.FDate", "FStartDate", "FEndDate");
  filter += toolkit::BoundPredicates(*dct, kNumberBounds);
  filter += toolkit::StatusPredicate(*dct, "FSource", kSources);
  filter += toolkit::StatusPredicate(*dct, "FBillStatus", kCheckStatuses);
  filter += toolkit::StatusPredicate(*dct, "FUseFor", kPurposes);
  return filter;
}

}  // namespace orv::reports::rpt2010006
