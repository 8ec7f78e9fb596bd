// A --conditions value that starts with "{" or "[" is JSON text; anything
// else names a file ("-" standard input). JSON booleans become 1 and 0:
// as automation values True would read as -1, which no check box test takes
// for "on".
#include "cli/report_conditions.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <stdexcept>

#include "cli/script_text.h"

namespace orv::cli {
namespace {

platform::Variant JsonToVariant(const std::string& key, const nlohmann::json& value) {
  if (value.is_string()) return platform::Variant(value.get<std::string>());
  if (value.is_boolean()) return platform::Variant(value.get<bool>() ? 1 : 0);
  if (value.is_null()) return platform::Variant::Null();
  if (value.is_number_unsigned()) {
    const auto number = value.get<uint64_t>();
    if (number <= INT32_MAX) return platform::Variant(static_cast<int32_t>(number));
  } else if (value.is_number_integer()) {
    const auto number = value.get<int64_t>();
    if (number >= INT32_MIN && number <= INT32_MAX) return platform::Variant(static_cast<int32_t>(number));
  }
  if (value.is_number()) return platform::Variant(value.get<double>());
  throw std::runtime_error("Condition '" + key + "' must be a text, a number, a boolean or null.");
}

bool IsJsonText(const std::string& source) {
  const size_t first = source.find_first_not_of(" \t\r\n");
  return first != std::string::npos && (source[first] == '{' || source[first] == '[');
}

}  // namespace

void AddJsonConditions(platform::ConditionDictionary& dct, const std::string& json_text) {
  nlohmann::json conditions;
  try {
    conditions = nlohmann::json::parse(json_text);
  } catch (const nlohmann::json::parse_error& error) {
    throw std::runtime_error(std::string("The conditions are not valid JSON: ") + error.what());
  }
  if (!conditions.is_object()) throw std::runtime_error("The conditions must be one JSON object.");
  for (const auto& [key, value] : conditions.items()) dct.Set(key, JsonToVariant(key, value));
}

std::shared_ptr<platform::ConditionDictionary> ReadConditions(const std::string& source,
                                                              const std::vector<std::string>& items) {
  auto dct = std::make_shared<platform::ConditionDictionary>();
  if (!source.empty()) {
    AddJsonConditions(*dct, IsJsonText(source) ? source : DecodeScript(ReadInput(source), source));
  }
  for (const std::string& item : items) {
    const size_t equals = item.find('=');
    if (equals == std::string::npos || equals == 0) {
      throw std::runtime_error("Condition '" + item + "' is not KEY=VALUE.");
    }
    dct->Set(item.substr(0, equals), platform::Variant(item.substr(equals + 1)));
  }
  return dct;
}

bool PrintConditionIssues(const std::vector<frame::ConditionIssue>& issues, std::ostream& err) {
  bool no_errors = true;
  for (const frame::ConditionIssue& issue : issues) {
    const bool error = issue.severity == frame::IssueSeverity::Error;
    err << (error ? "error: " : "warning: ") << issue.message << '\n';
    no_errors = no_errors && !error;
  }
  return no_errors;
}

}  // namespace orv::cli
