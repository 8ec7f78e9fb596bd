// The listings are built from the report schemas, so they cannot drift from
// what the condition check enforces.
#include "cli/report_listing.h"

#include "reports/report_catalog.h"

namespace orv::cli {
namespace {

constexpr std::string_view kListingLanguage = "en";

Cell TextCell(std::string text) { return {CellKind::Text, std::move(text)}; }

std::string Meaning(const frame::ReportSchema& schema, const frame::ConditionKey& key) {
  std::string meaning(key.meaning);
  if (!key.choices.empty()) {
    meaning += " [";
    for (const frame::ConditionChoice& choice : key.choices) {
      meaning += std::to_string(choice.value) + " = " + std::string(choice.meaning) + "; ";
    }
    meaning += "other = " + std::string(key.other_choices) + "]";
  }
  std::string governed;
  for (const frame::ConditionKey& other : schema.conditions) {
    for (const frame::ConditionSwitch& condition_switch : other.switches) {
      if (condition_switch.key != key.key) continue;
      governed += (governed.empty() ? "" : ", ") + std::string(other.key);
    }
  }
  if (!governed.empty()) meaning += "; switches " + governed;
  return meaning;
}

}  // namespace

std::string ReportList() {
  std::string list = "Reports:\n";
  for (const frame::ReportSchema* schema : reports::ReportSchemas()) {
    list += "  " + std::string(schema->number) + "  " + reports::ReportTitle(*schema, kListingLanguage) + '\n';
  }
  return list;
}

ResultTable ConditionTable(const frame::ReportSchema& schema) {
  ResultTable table;
  for (const char* name : {"Key", "Type", "Default", "Depends on", "Meaning"}) table.columns.push_back({name, "text"});
  for (const frame::ConditionKey& key : schema.conditions) {
    std::string depends;
    for (const frame::ConditionSwitch& condition_switch : key.switches) {
      depends += (depends.empty() ? "" : " and ") + frame::DescribeSwitch(condition_switch);
    }
    table.rows.push_back({TextCell(std::string(key.key)), TextCell(std::string(frame::ConditionTypeName(key.type))),
                          TextCell(key.default_value.empty() ? "(empty)" : std::string(key.default_value)),
                          TextCell(depends), TextCell(Meaning(schema, key))});
  }
  return table;
}

}  // namespace orv::cli
