// JSON booleans become 1 and 0: as automation values True would read as -1,
// which no check box test takes for "on".
#include "results/json_conditions.h"

#include <stdexcept>

namespace orv::results {
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

}  // namespace

void AddJsonConditions(platform::ConditionDictionary& dct, const nlohmann::json& conditions) {
  if (!conditions.is_object()) throw std::runtime_error("The conditions must be one JSON object.");
  for (const auto& [key, value] : conditions.items()) dct.Set(key, JsonToVariant(key, value));
}

void AddJsonConditions(platform::ConditionDictionary& dct, const std::string& json_text) {
  nlohmann::json conditions;
  try {
    conditions = nlohmann::json::parse(json_text);
  } catch (const nlohmann::json::parse_error& error) {
    throw std::runtime_error(std::string("The conditions are not valid JSON: ") + error.what());
  }
  AddJsonConditions(dct, conditions);
}

}  // namespace orv::results
