// Conditions given as one JSON object, as the command line and the web
// service take them, added to a condition dictionary.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "platform/host_objects.h"

namespace orv::results {

// Adds a JSON object's values: texts as texts, whole numbers within 32 bits
// as Long, other numbers as Double, true and false as 1 and 0 (what the
// report dialog's check boxes write), null as Null. Throws std::runtime_error
// for text that is not one JSON object or a value that is an array or object.
void AddJsonConditions(platform::ConditionDictionary& dct, const std::string& json_text);
void AddJsonConditions(platform::ConditionDictionary& dct, const nlohmann::json& conditions);

}  // namespace orv::results
