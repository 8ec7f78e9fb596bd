// The five report classes as callers see them before running one: number,
// class, title, condition keys and result columns (frame/report_schema.h),
// with the captions and titles in the session language.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frame/report_schema.h"

namespace orv::reports {

// Each report's schema, kept beside the report (conditions.cpp, captions.cpp).
namespace rpt2010001 {
const frame::ReportSchema& Schema();
std::vector<frame::ColumnCaption> Captions();
}  // namespace rpt2010001
namespace rpt2010002 {
const frame::ReportSchema& Schema();
std::vector<frame::ColumnCaption> Captions();
}  // namespace rpt2010002
namespace rpt2010005 {
const frame::ReportSchema& Schema();
std::vector<frame::ColumnCaption> Captions();
}  // namespace rpt2010005
namespace rpt2010006 {
const frame::ReportSchema& Schema();
std::vector<frame::ColumnCaption> Captions();
}  // namespace rpt2010006
namespace rpt2010007 {
const frame::ReportSchema& Schema();
std::vector<frame::ColumnCaption> Captions();
}  // namespace rpt2010007

// The grouping, level and summary keys that the requisition and the
// application tracking reports share; FGroupByAppUser means `by_person`
// (a text that lives as long as the program).
std::vector<frame::ConditionKey> SummaryConditions(std::string_view by_person);

// All five, by report number.
const std::vector<const frame::ReportSchema*>& ReportSchemas();

// By number ("2010001"), class name ("CRPT2010001") or ProgID
// ("Orvalent.CRPT2010001"), names in any letter case; null when none matches.
const frame::ReportSchema* FindReportSchema(std::string_view name);

// The caption of a result column in `language`. The level columns of the
// grouped reports (FNumber2, FName2) carry their level; a column the report
// does not describe keeps its name.
std::string ColumnCaptionText(const frame::ReportSchema& schema, std::string_view column,
                              std::string_view language);

std::string ReportTitle(const frame::ReportSchema& schema, std::string_view language);

}  // namespace orv::reports
