// GetLvlSQL: finds the base-data class of the outermost group field and, when
// subtotals by number level are possible for it, the batch that builds the
// level table of that class (item classes of t_Item, or management accounts).
#include <array>
#include <limits>

#include "toolkit/error_trap.h"
#include "toolkit/report_toolkit.h"

namespace orv::toolkit {

namespace {

struct KeyTest {
  std::string_view key;
  std::string_view value;
};

// A rule holds when any of its tests does; the code is fixed, or read from
// `code_key` when that is set.
struct CodeRule {
  std::array<KeyTest, 3> tests;
  int32_t code;
  std::string_view code_key;
};

// First rule that holds wins.
constexpr std::array<CodeRule, 14> kCodeRules{{
    {{{{"FGroupByItem", "0"}}}, 4, ""},
    {{{{"FGroupBySupAndExp", "4"}, {"FGroupBySupplyType", "1"}, {"FGroupBySupply", "0"}}}, 8, ""},
    {{{{"FGroupByUseDept", "0"}}}, 2, ""},
    {{{{"FGroupByAppUser", "0"}}}, 3, ""},
    {{{{"FGroupByExpenseItem", "0"}}}, 2035, ""},
    {{{{"FGroupByItemClass", "0"}}}, 0, "FItemClass"},
    {{{{"GroupByMgAcct", "0"}}}, -1, ""},
    {{{{"GroupByItemClass", "0"}}}, 0, "ItemClass"},
    {{{{"GroupByDep", "0"}}}, 2, ""},
    {{{{"GroupByEmp", "0"}}}, 3, ""},
    {{{{"GroupByExp", "0"}}}, 2035, ""},
    {{{{"FGroupByRespCenter", "0"}}}, 2040, ""},
    {{{{"FGroupBySpecProject", "0"}}}, 2041, ""},
    {{{{"FGroupByExpAndSup", "5"}, {"FGroupByExpense", "2"}}}, 2014, ""},
}};

bool KeyIs(const platform::ConditionDictionary& dct, const KeyTest& test) {
  return !test.key.empty() &&
         platform::Equals(dct.GetValue(test.key, platform::Variant("N")), platform::Variant(test.value));
}

bool RuleHolds(const platform::ConditionDictionary& dct, const CodeRule& rule) {
  bool holds = false;
  for (const KeyTest& test : rule.tests) holds = KeyIs(dct, test) || holds;
  return holds;
}

// Ten times the class marks an item-class grouping; past the range of the
// 32-bit code that is an overflow, as the runtime would report it.
int32_t ScaledItemClass(const platform::Variant& item_class) {
  const int64_t scaled = int64_t{item_class.ToLong()} * 10;
  if (scaled > std::numeric_limits<int32_t>::max() || scaled < std::numeric_limits<int32_t>::min()) {
    platform::RaiseRuntimeError(platform::kErrOverflow);
  }
  return static_cast<int32_t>(scaled);
}

}  // namespace

std::string GetLvlSQL(const platform::ConditionDictionary& dct, int32_t& lCode) {
  try {
    for (const CodeRule& rule : kCodeRules) {
      if (!RuleHolds(dct, rule)) continue;
      lCode = rule.code_key.empty() ? rule.code : dct.GetValue(rule.code_key, platform::Variant(0)).ToLong();
      break;
    }

    std::string batch;
    if (dct.Item("FGroupByCurrency").TextLength() > 0 && lCode == 0) {
      batch = GetMgAcctLevelSQL(dct.Item("LvlFrom").ToLong(), dct.Item("LvlTo").ToLong());
    } else if (platform::Equals(dct.GetValue("View", platform::Variant(0)), platform::Variant(1)) || lCode >= 1) {
      batch = GetItemLevelSQL(lCode, &dct, 0);
    }
    // The batch above was built with the unscaled class.
    if (KeyIs(dct, {"FGroupByItemClass", "0"})) lCode = ScaledItemClass(dct.Item("FItemClass"));
    return batch;
  } catch (const platform::AutomationError& caught) {
    RaiseAgain(caught, "Orvalent.modPubRpt_Mid.GetLvlSQL");
  }
}

}  // namespace orv::toolkit
