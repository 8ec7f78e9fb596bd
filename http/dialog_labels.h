// The texts and layout of a report's filter dialog: a short label for each
// condition key, one for each choice, and how the grouping keys are offered.
// Which keys a dialog writes is the host's business, so this lives with the
// viewer, not with the reports. Labels are simplified Chinese, translated
// through the resource loader like every other text of the viewer.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace orv::http {

// The label of a condition key; nothing for a key the viewer does not know
// (a report added later), which then shows the schema's own meaning.
std::optional<std::string_view> ConditionLabel(std::string_view key);

// The label of a choice by the schema's English meaning; nothing when unknown.
std::optional<std::string_view> ChoiceLabel(std::string_view meaning);

// A dialog that offers one grouping out of several, each written as its own
// key with a fixed value (the expense invoice report's dialog writes its
// option's index); otherwise every grouping key takes its position.
struct SingleGrouping {
  std::string_view switch_key;  // the check box that turns grouping on
  struct Option {
    std::string_view key;
    int value;
  };
  std::vector<Option> options;
};
std::optional<SingleGrouping> SingleGroupingOf(std::string_view report);

}  // namespace orv::http
