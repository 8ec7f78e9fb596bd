// The check of the purchase invoice report's SortFields. The list is written
// bare behind ORDER BY, so only what an ORDER BY of the report's own columns
// can hold gets through: column names, each optionally followed by ASC or DESC.
#include <algorithm>
#include <array>

#include "platform/automation_error.h"
#include "reports/rpt2010001/sql_routines.h"
#include "toolkit/sql_text.h"

namespace orv::reports::rpt2010001 {

namespace {

constexpr std::array<std::string_view, 31> kResultColumns{
    "FDATE",         "FFINDATE",    "FINVOICETYPE",    "FINVOICENUMBER", "FSUPPLYNUMBER", "FSUPPLYNAME",
    "FITEMNUMBER",   "FITEMNAME",   "FMODEL",          "FAUXPROPERTYID", "FCURRENCYID",   "FUNITID",
    "FQTY",          "FPRICE",      "FBASEUNITID",     "FBASEQTY",       "FBASEPRICE",    "FCOMUNITID",
    "FCOMQTY",       "FCOMPRICE",   "FAMOUNT",         "FTAXRATE",       "FTAXAMT",       "FTOTALAMT",
    "FTOTALAMTFOR",  "FCHECKER",    "FNOTE",           "FSUMSORT",       "FCURRENCYDECIMAL", "FQTYDECIMAL",
    "FPRICEDECIMAL",
};

// The item split into its words at blanks.
std::vector<std::string> Words(std::string_view item) {
  std::vector<std::string> words;
  for (const std::string& word : toolkit::SplitText(item, ' ')) {
    if (!word.empty()) words.push_back(word);
  }
  return words;
}

bool IsSortItem(std::string_view item) {
  const std::vector<std::string> words = Words(item);
  if (words.empty() || words.size() > 2) return false;
  const std::string column = toolkit::UpperText(words[0]);
  if (std::find(kResultColumns.begin(), kResultColumns.end(), column) == kResultColumns.end()) return false;
  if (words.size() == 1) return true;
  const std::string direction = toolkit::UpperText(words[1]);
  return direction == "ASC" || direction == "DESC";
}

}  // namespace

void CheckSortFields(std::string_view sort_fields) {
  for (const std::string& item : toolkit::SplitText(sort_fields, ',')) {
    if (!IsSortItem(item)) {
      throw platform::AutomationError(platform::kErrInvalidProcedureCall, "Orvalent",
                                      "The sort list is invalid: \"" + item +
                                          "\" is not a column of the report, optionally followed by ASC or DESC.");
    }
  }
}

}  // namespace orv::reports::rpt2010001
