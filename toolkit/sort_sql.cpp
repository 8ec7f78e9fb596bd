// GetSortSQL: the CASE that classifies each row of a rollup into FSumSort
// (0 finest grouping, 101 grand total, 101 + i subtotal, 119 + i rolled-up
// name column) and the updates that label the total and subtotal rows of
// #TmpResult with the localized words for "total" and "subtotal".
#include "toolkit/error_trap.h"
#include "toolkit/local_text.h"
#include "toolkit/property_lookup.h"
#include "toolkit/report_toolkit.h"
#include "toolkit/sql_literal.h"
#include "toolkit/sql_text.h"

namespace orv::toolkit {

namespace {

// The session's language. A session string without a Language pair would
// make the parser raise 5 and fail every grouped summary, where the rest of
// the report carries on with the language its light reader found (usually
// none, which leaves the labels as written): the labels do the same.
std::string LabelLanguage(const frame::CParse& oParse) {
  try {
    return oParse.LanguageID();
  } catch (const platform::AutomationError&) {
    return GetPropertyValue(oParse.PropsString(), "Language");
  }
}

// "Update #TmpResult Set C=ISNULL(C,'')+'(label)' WHERE FSumSort=n": the label
// goes behind the value of column C in the rows of class n. The language is
// read afresh for each update.
std::string LabelUpdate(const std::string& column, std::string_view label, int sum_sort,
                        const frame::CParse& oParse) {
  const std::string local = QuoteText(GetLocalText(label, LabelLanguage(oParse)));
  return "Update #TmpResult Set " + column + "=ISNULL(" + column + ",'')+'(" + local +
         ")' WHERE FSumSort=" + std::to_string(sum_sort) + "\r\n";
}

}  // namespace

std::string GetSortSQL(std::string_view sGroupFields, std::string& sTotalUpdate, std::string& sSubtotalUpdate,
                       const frame::CParse& oParse) {
  try {
    if (sGroupFields.find('.') == std::string_view::npos) return "";
    const std::vector<std::string> elements = SplitText(sGroupFields, ',');
    std::string fragment = ",CASE \r\n";
    sTotalUpdate.clear();
    sSubtotalUpdate.clear();
    std::string previous;
    for (size_t i = 0; i < elements.size(); ++i) {
      const std::string& element = elements[i];
      const size_t dot = element.find('.');
      if (dot == std::string::npos) break;  // the empty element after a final ","
      const std::string name = element.substr(dot + 1);
      const int index = static_cast<int>(i);
      // The WHEN clauses are tried in order: the first column rolled up means
      // every column is, so that row is the grand total.
      int sum_sort = 101;
      std::string* updates = &sTotalUpdate;
      if (i > 0) {
        const bool name_column = ContainsNoCase(name, "Name");
        sum_sort = index + (name_column ? 119 : 101);
        updates = name_column ? &sTotalUpdate : &sSubtotalUpdate;
      }
      fragment += " WHEN Grouping(" + element + ")=1 THEN " + std::to_string(sum_sort) + "\r\n";
      *updates += i == 0 ? LabelUpdate(name, "合计", sum_sort, oParse) : LabelUpdate(previous, "小计", sum_sort, oParse);
      previous = name;
    }
    return fragment + " ELSE 0 END AS FSumSort\r\n";
  } catch (const platform::AutomationError& caught) {
    RaiseAgain(caught, "Orvalent.modPubRPT_Mid.GetSortSQL");
  }
}

}  // namespace orv::toolkit
