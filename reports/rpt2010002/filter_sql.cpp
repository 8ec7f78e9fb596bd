// GetFilterSQL of the expense invoice report: the user's conditions as
// predicates on the aliases of the detail batch (aa invoice, tf fee, ts
// supplier, ahe hook-log line), in the order the dialog's conditions are read.
#include <array>

#include "reports/rpt2010002/sql_routines.h"
#include "toolkit/condition_sql.h"

namespace orv::reports::rpt2010002 {

namespace {

using platform::ConditionDictionary;

// The dialog offers no upper supplier bound.
constexpr std::array<toolkit::BoundCondition, 3> kNumberBounds{{
    {"FExpenseFrom", " AND tf.FNumber >='"},
    {"FExpenseTo", " AND tf.FNumber <='"},
    {"FSupplyFrom", " AND ts.FNumber>='"},
}};

// Fully through the multi-level check (0), or on one of its steps (1).
constexpr std::array<std::string_view, 2> kCheckStatuses{
    " AND (aa.FMultiCheckStatus = 16 )",
    " AND (aa.FMultiCheckStatus = 2 OR aa.FMultiCheckStatus = 4 OR aa.FMultiCheckStatus =  8 )",
};

// Matched in the hook log (0), or not (1).
constexpr std::array<std::string_view, 2> kHookStatuses{
    " AND (ahe.FID_SRC IS NOT NULL )",
    " AND (ahe.FID_SRC IS NULL  )",
};

}  // namespace

std::string GetFilterSQL(const ConditionDictionary* dct) {
  std::string filter = "\r\n";
  if (dct == nullptr) return filter;
  filter += toolkit::DateRangePredicate(*dct, "aa.FDate", "FStartDate", "FEndDate");
  filter += toolkit::BoundPredicates(*dct, kNumberBounds);
  filter += toolkit::StatusPredicate(*dct, "FBillStatus", kCheckStatuses);
  filter += toolkit::StatusPredicate(*dct, "FHookStatus", kHookStatuses);
  return filter;
}

}  // namespace orv::reports::rpt2010002
