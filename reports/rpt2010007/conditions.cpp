// The condition keys of the application tracking report: the two view keys,
// the filter of both document sides and the keys of the grouped summary,
// which always runs.
#include "reports/report_catalog.h"

namespace orv::reports::rpt2010007 {

using frame::ConditionSwitch;
using frame::ConditionType;
using frame::SwitchState;

namespace {

std::vector<frame::ConditionKey> ViewAndFilterConditions() {
  const ConditionSwitch application_view{"FAppSource", SwitchState::NonZero};
  // Both view keys are always read: set together, or both 0, they are refused.
  return {
      {"FAppSource", ConditionType::Flag, "1",
       "non-zero: the application view (application lines with what was requisitioned against them)"},
      {"FApplicationSource", ConditionType::Flag, "0",
       "non-zero, with FAppSource=0: the source view (application lines and requisition lines without an "
       "application)"},
      {"FStartDate", ConditionType::Date, "",
       "applications dated on or after this day (outside the application view: requisitions too)"},
      {"FEndDate", ConditionType::Date, "", "applications dated on or before this day (likewise)"},
      {"FItemFrom", ConditionType::Text, "", "item numbers from this one on (compared as text)"},
      {"FItemTo", ConditionType::Text, "", "item numbers up to this one"},
      {"FAppDeptFrom", ConditionType::Text, "", "applying department numbers from this one on (applications only)"},
      {"FAppDeptTo", ConditionType::Text, "", "applying department numbers up to this one (applications only)"},
      {"FUseDeptFrom", ConditionType::Text, "", "using department numbers from this one on"},
      {"FUseDeptTo", ConditionType::Text, "", "using department numbers up to this one"},
      {"FSupplyFrom", ConditionType::Text, "", "supplier numbers from this one on"},
      {"FSupplyTo", ConditionType::Text, "", "supplier numbers up to this one"},
      {"FAppUserFrom", ConditionType::Text, "", "applicant numbers from this one on"},
      {"FAppUserTo", ConditionType::Text, "", "applicant numbers up to this one"},
      {"FBillStatus", ConditionType::Choice, "", "audit state, on both document sides",
       {{0, "documents not yet fully audited"}, {1, "fully audited documents"}, {2, "all documents"}},
       "all documents"},
      {"FCloseStatus", ConditionType::Choice, "", "close state of the application",
       {{0, "open applications"}, {1, "closed applications"}, {2, "all applications"}}, "all applications"},
      {"FShowUnDo", ConditionType::Flag, "0",
       "0 keeps only the application lines whose unexecuted quantity differs from the approved one; other "
       "values keep all",
       {}, {}, {application_view}},
  };
}

}  // namespace

const frame::ReportSchema& Schema() {
  static const frame::ReportSchema schema = [] {
    frame::ReportSchema made{"2010007", "CRPT2010007", "资产申请跟踪", ViewAndFilterConditions(), Captions()};
    for (frame::ConditionKey& key :
         SummaryConditions("group by applicant at this position; any value drops the applicant's detail columns")) {
      made.conditions.push_back(std::move(key));
    }
    return made;
  }();
  return schema;
}

}  // namespace orv::reports::rpt2010007
