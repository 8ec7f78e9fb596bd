// Labels the viewer does not know fall back to the schema's meaning, so a
// report registered later still gets a usable dialog.
#include "http/report_dialog.h"

#include <string>

#include "http/dialog_labels.h"
#include "http/viewer_texts.h"
#include "reports/report_catalog.h"

namespace orv::http {
namespace {

std::string_view SwitchStateName(frame::SwitchState state) {
  switch (state) {
    case frame::SwitchState::Checked:
      return "checked";
    case frame::SwitchState::One:
      return "one";
    case frame::SwitchState::NonZero:
      return "nonzero";
    case frame::SwitchState::Zero:
      break;
  }
  return "zero";
}

std::string KeyLabel(const frame::ConditionKey& key, std::string_view language) {
  const std::optional<std::string_view> label = ConditionLabel(key.key);
  return label ? ViewerText(*label, language) : std::string(key.meaning);
}

nlohmann::json ConditionJson(const frame::ConditionKey& key, std::string_view language) {
  nlohmann::json choices = nlohmann::json::array();
  for (const frame::ConditionChoice& choice : key.choices) {
    const std::optional<std::string_view> label = ChoiceLabel(choice.meaning);
    choices.push_back(
        {{"value", choice.value}, {"label", label ? ViewerText(*label, language) : std::string(choice.meaning)}});
  }
  nlohmann::json switches = nlohmann::json::array();
  for (const frame::ConditionSwitch& condition_switch : key.switches) {
    switches.push_back({{"key", condition_switch.key}, {"state", SwitchStateName(condition_switch.state)}});
  }
  const std::optional<std::string_view> other = ChoiceLabel(key.other_choices);
  return {{"key", key.key},
          {"type", frame::ConditionTypeName(key.type)},
          {"default", key.default_value},
          {"label", KeyLabel(key, language)},
          {"meaning", key.meaning},
          {"choices", choices},
          {"other_choices", key.other_choices},
          {"other_label", other ? ViewerText(*other, language) : std::string(key.other_choices)},
          {"switches", switches}};
}

nlohmann::json GroupingJson(const frame::ReportSchema& schema, std::string_view language) {
  if (const std::optional<SingleGrouping> single = SingleGroupingOf(schema.number)) {
    nlohmann::json options = nlohmann::json::array();
    for (const SingleGrouping::Option& option : single->options) {
      const frame::ConditionKey* key = schema.FindCondition(option.key);
      if (key == nullptr) continue;
      options.push_back({{"key", option.key}, {"value", option.value}, {"label", KeyLabel(*key, language)}});
    }
    return {{"mode", "single"}, {"switch", single->switch_key}, {"options", options}};
  }
  nlohmann::json keys = nlohmann::json::array();
  for (const frame::ConditionKey& key : schema.conditions) {
    if (key.type == frame::ConditionType::Position) keys.push_back(key.key);
  }
  if (keys.empty()) return nullptr;
  return {{"mode", "ordered"}, {"keys", keys}};
}

nlohmann::json ConditionsJson(const frame::ReportSchema& schema, std::string_view language) {
  nlohmann::json conditions = nlohmann::json::array();
  for (const frame::ConditionKey& key : schema.conditions) conditions.push_back(ConditionJson(key, language));
  return conditions;
}

}  // namespace

nlohmann::json ReportListJson(std::string_view language) {
  nlohmann::json list = nlohmann::json::array();
  for (const frame::ReportSchema* schema : reports::ReportSchemas()) {
    list.push_back({{"number", schema->number},
                    {"class", schema->class_name},
                    {"title", reports::ReportTitle(*schema, language)},
                    {"conditions", ConditionsJson(*schema, language)}});
  }
  return list;
}

nlohmann::json ReportDialogJson(const frame::ReportSchema& schema, std::string_view language) {
  nlohmann::json columns = nlohmann::json::array();
  for (const frame::ColumnCaption& column : schema.columns) {
    columns.push_back({{"name", column.column},
                       {"caption", reports::ColumnCaptionText(schema, column.column, language)},
                       {"internal", column.internal},
                       {"precision_column", column.precision_column}});
  }
  return {{"number", schema.number},
          {"class", schema.class_name},
          {"title", reports::ReportTitle(schema, language)},
          {"conditions", ConditionsJson(schema, language)},
          {"grouping", GroupingJson(schema, language)},
          {"columns", columns}};
}

}  // namespace orv::http
