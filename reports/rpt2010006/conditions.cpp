// The condition keys of the requisition report: its filter (read without
// defaults; an empty state counts as not chosen) and the keys of the grouped
// summary, which always runs.
#include "reports/report_catalog.h"

namespace orv::reports::rpt2010006 {

using frame::ConditionType;

namespace {

std::vector<frame::ConditionKey> FilterConditions() {
  return {
      {"FStartDate", ConditionType::Date, "", "requisitions dated on or after this day"},
      {"FEndDate", ConditionType::Date, "", "requisitions dated on or before this day"},
      {"FItemFrom", ConditionType::Text, "", "item numbers from this one on (compared as text)"},
      {"FItemTo", ConditionType::Text, "", "item numbers up to this one"},
      {"FUseDeptFrom", ConditionType::Text, "", "requisitioning department numbers from this one on"},
      {"FUseDeptTo", ConditionType::Text, "", "requisitioning department numbers up to this one"},
      {"FSupplyFrom", ConditionType::Text, "", "supplier numbers from this one on"},
      {"FSupplyTo", ConditionType::Text, "", "supplier numbers up to this one"},
      {"FAppUserFrom", ConditionType::Text, "", "requisitioner numbers from this one on"},
      {"FAppUserTo", ConditionType::Text, "", "requisitioner numbers up to this one"},
      {"FSource", ConditionType::Choice, "", "where the requisitioned goods come from",
       {{0, "from the warehouse"}, {1, "from asset purchase"}, {2, "all sources"}}, "all sources"},
      {"FBillStatus", ConditionType::Choice, "", "check state of the requisition",
       {{0, "requisitions in the check process"}, {1, "fully checked requisitions"}, {2, "all requisitions"}},
       "all requisitions"},
      {"FUseFor", ConditionType::Choice, "", "purpose of the requisition",
       {{0, "construction in progress"}, {1, "to fixed assets"}, {2, "to low-value consumables"}, {3, "all purposes"}},
       "all purposes"},
  };
}

}  // namespace

const frame::ReportSchema& Schema() {
  static const frame::ReportSchema schema = [] {
    frame::ReportSchema made{"2010006", "CRPT2010006", "资产领用", FilterConditions(), Captions()};
    for (frame::ConditionKey& key :
         SummaryConditions("group by requisitioner at this position; any value drops the requisitioner's detail "
                           "columns")) {
      made.conditions.push_back(std::move(key));
    }
    return made;
  }();
  return schema;
}

}  // namespace orv::reports::rpt2010006
