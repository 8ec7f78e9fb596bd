// GetFilterSQL of the expense invoice report: the user's conditions as
// predicates on the aliases of the detail batch (aa invoice, tf fee, ts
// supplier, ahe hook-log line), in the order the dialog's conditions are read.
#include <array>

#include "reports/rpt2010002/sql_routines.h"
#include "toolkit/condition_sql.h"

namespace orv::reports::rpt2010002 {

namespace {

using platform::ConditionDictionary;
using platform::Variant;

// The dialog offers no upper supplier bound.
constexpr std::array<toolkit::BoundCondition, 3> kNumberBounds{{
    {"FExpenseFrom", " AND tf.FNumber >='"},
    {"FExpenseTo", " AND tf.FNumber <='"},
    {"FSupplyFrom", " AND ts.FNumber>='"},
}};

struct StatusChoice {
  std::string_view key;
  std::string_view when_zero;
  std::string_view when_one;
};

constexpr std::array<StatusChoice, 2> kStatuses{{
    // Fully through the multi-level check, or on one of its steps.
    {"FBillStatus", " AND (aa.FMultiCheckStatus = 16 )",
     " AND (aa.FMultiCheckStatus = 2 OR aa.FMultiCheckStatus = 4 OR aa.FMultiCheckStatus =  8 )"},
    // Matched in the hook log, or not.
    {"FHookStatus", " AND (ahe.FID_SRC IS NOT NULL )", " AND (ahe.FID_SRC IS NULL  )"},
}};

// A status is chosen when its value has text and is 0 or more; 0 and 1 pick
// a predicate, any other value none.
std::string StatusPredicate(const ConditionDictionary& dct, const StatusChoice& status) {
  const Variant value = dct.Item(status.key);
  if (value.TextLength() == 0 || !platform::GreaterOrEqual(value, Variant(0))) return "";
  if (platform::Equals(value, Variant(0))) return std::string(status.when_zero);
  if (platform::Equals(value, Variant(1))) return std::string(status.when_one);
  return "";
}

}  // namespace

std::string GetFilterSQL(const ConditionDictionary* dct) {
  std::string filter = "\r\n";
  if (dct == nullptr) return filter;
  filter += toolkit::DateRangePredicate(*dct, "aa.FDate", "FStartDate", "FEndDate");
  filter += toolkit::BoundPredicates(*dct, kNumberBounds);
  for (const StatusChoice& status : kStatuses) filter += StatusPredicate(*dct, status);
  return filter;
}

}  // namespace orv::reports::rpt2010002
