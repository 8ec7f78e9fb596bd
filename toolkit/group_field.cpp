// GetGroupField: the group columns of a grouped report, ordered by the
// positions the user gave the grouping keys. The keys serve the whole family
// of reports, so every known key is honoured even where a report never sets it.
#include <array>

#include "toolkit/error_trap.h"
#include "toolkit/report_toolkit.h"
#include "toolkit/sql_text.h"

namespace orv::toolkit {

namespace {

struct GroupRow {
  std::string_view key;
  std::string_view other_key;  // "" for a row with one key
  std::string_view columns;
};

// Rows in the order in which columns with the same position are listed.
constexpr std::array<GroupRow, 19> kGroupRows{{
    {"FGroupByItem", "", "T1.FItemID,"},
    {"FGroupBySupplyType", "FGroupBySupply", "T1.FSupplyID,"},
    {"FGroupByUseDept", "", "T1.FUseDeptID,"},
    {"FGroupByAppUser", "", "T1.FAppUserID,"},
    {"FGroupByPayDept", "", "T1.FPayDeptID,"},
    {"FGroupByPayProduct", "", "T1.FPayProductID,"},
    {"FGroupByExpenseItem", "", "T1.FExpenseItemID,"},
    {"FGroupByItemClass", "", "T1.FItemClassID,t1.FItemID,"},
    {"FGroupByRespCenter", "", "T1.FRespCenterID,"},
    {"FGroupBySpecProject", "", "T1.FSpecProjectID,"},
    {"FGroupByExpense", "", "T1.FFeeID,"},
    {"FGroupByExpenseType", "", "T1.FExpenseTypeID,"},
    {"FGroupBySupAndExp", "FGroupByExpAndSup", "T1.FFeeID,T1.FSupplyID,"},
    {"GroupByDep", "", "T1.FDeptID,"},
    {"GroupByEmp", "", "T1.FEmpID,"},
    {"GroupByExp", "", "T1.FExpID,"},
    {"GroupByMgAcct", "", "T1.FMgAcctID,"},
    {"GroupByItemClass", "", "T1.FItemClassID,t1.FItemID,"},
    {"FGroupByCurrency", "", "T1.FCurrencyID,"},
}};

constexpr int kPositions = 19;
constexpr std::string_view kCurrency = "T1.FCurrencyID,";

// An absent key reads as "N", which matches no position.
bool HoldsPosition(const platform::ConditionDictionary& dct, std::string_view key, const platform::Variant& position) {
  return !key.empty() && platform::Equals(dct.GetValue(key, platform::Variant("N")), position);
}

}  // namespace

std::string GetGroupField(const platform::ConditionDictionary& dct, bool /*bFlag*/) {
  try {
    std::string list;
    for (int n = 0; n < kPositions; ++n) {
      const platform::Variant position(std::to_string(n));
      for (const GroupRow& row : kGroupRows) {
        // Both keys are read, as the dialog may have set either.
        const bool first = HoldsPosition(dct, row.key, position);
        const bool second = HoldsPosition(dct, row.other_key, position);
        if (first || second) list += row.columns;
      }
    }
    // In the view by currency the currency is always the outermost group.
    if (!platform::Equals(dct.GetValue("View", platform::Variant(0)), platform::Variant(0))) {
      list = std::string(kCurrency) + ReplaceAll(list, kCurrency, "");
    }
    return list + "T1.FRptID,";
  } catch (const platform::AutomationError& caught) {
    RaiseAgain(caught, "Orvalent.ModPubRPT_Mid.GetGroupField");
  }
}

}  // namespace orv::toolkit
