// Finding a report's schema by any of the names a caller may use, and the
// captions in the session language through the localized-text routine, so
// the captions share the resource tables of the reports' own labels.
#include "reports/report_catalog.h"

#include <algorithm>

#include "frame/ignore_case.h"
#include "toolkit/local_text.h"

namespace orv::reports {
namespace {

constexpr std::string_view kProgIdPrefix = "orvalent.";

// Level columns of the grouped pipeline: a prefix and the level's number.
struct LevelColumn {
  std::string_view prefix;   // folded
  std::string_view caption;  // "{0}" stands for the level
};
constexpr LevelColumn kLevelColumns[] = {{"fnumber", "第{0}级代码"}, {"fname", "第{0}级名称"}};

std::string LevelCaption(std::string_view column, std::string_view language) {
  const std::string folded = frame::FoldCase(column);
  for (const LevelColumn& level : kLevelColumns) {
    if (folded.size() <= level.prefix.size() || folded.compare(0, level.prefix.size(), level.prefix) != 0) continue;
    const std::string digits = folded.substr(level.prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
    std::string caption = toolkit::GetLocalText(level.caption, language);
    const size_t slot = caption.find("{0}");
    if (slot != std::string::npos) caption.replace(slot, 3, digits);
    return caption;
  }
  return std::string(column);
}

}  // namespace

const std::vector<const frame::ReportSchema*>& ReportSchemas() {
  static const std::vector<const frame::ReportSchema*> schemas = {
      &rpt2010001::Schema(), &rpt2010002::Schema(), &rpt2010005::Schema(), &rpt2010006::Schema(),
      &rpt2010007::Schema()};
  return schemas;
}

const frame::ReportSchema* FindReportSchema(std::string_view name) {
  std::string folded = frame::FoldCase(name);
  if (folded.starts_with(kProgIdPrefix)) folded.erase(0, kProgIdPrefix.size());
  for (const frame::ReportSchema* schema : ReportSchemas()) {
    if (folded == schema->number || folded == frame::FoldCase(schema->class_name)) return schema;
  }
  return nullptr;
}

std::string ColumnCaptionText(const frame::ReportSchema& schema, std::string_view column,
                              std::string_view language) {
  if (const frame::ColumnCaption* caption = schema.FindColumn(column); caption != nullptr) {
    return toolkit::GetLocalText(caption->caption, language);
  }
  return LevelCaption(column, language);
}

std::string ReportTitle(const frame::ReportSchema& schema, std::string_view language) {
  return toolkit::GetLocalText(schema.title, language);
}

}  // namespace orv::reports
