// What the viewer's pages need to know of the reports: the list, and per
// report its filter dialog (the condition schema with labels and choices in
// the session language, the switches and the grouping layout) and its
// result columns.
#pragma once

#include <string_view>

#include <nlohmann/json.hpp>

#include "frame/report_schema.h"

namespace orv::http {

// [{"number", "class", "title", "conditions"}], every registered report, its
// conditions as in its dialog below (so a script needs no second call).
nlohmann::json ReportListJson(std::string_view language);

// {"number", "class", "title",
//  "conditions": [{"key", "type", "default", "label", "meaning",
//                  "choices": [{"value", "label"}], "other_choices", "other_label", "switches": [{"key", "state"}]}],
//  "grouping": {"mode": "single", "switch", "options": [{"key", "value", "label"}]}
//            | {"mode": "ordered", "keys": [...]} | null,
//  "columns": [{"name", "caption", "internal", "precision_column"}]}
nlohmann::json ReportDialogJson(const frame::ReportSchema& schema, std::string_view language);

}  // namespace orv::http
