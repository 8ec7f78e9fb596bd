// Checks the conditions a caller is about to pass to a report against the
// report's schema: keys the report does not read (with the closest key it
// does), values of the wrong type, values the report ignores because their
// switch key is off, and choices that select nothing. The report itself
// stays lenient; this is for callers that want to tell their user.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/report_schema.h"
#include "platform/host_objects.h"

namespace orv::frame {

enum class IssueSeverity { Error, Warning };

struct ConditionIssue {
  IssueSeverity severity;
  std::string key;
  std::string message;  // one sentence, without a severity prefix
};

// Every issue of `dct`, in the dictionary's key order. An unknown key is an
// error unless `allow_unknown`, when it is a warning.
std::vector<ConditionIssue> CheckConditions(const ReportSchema& schema, const platform::ConditionDictionary& dct,
                                            bool allow_unknown);

// The known key nearest to `key`: the same key in another letter case first,
// else the one the fewest edits away (a swap of two neighbours is one edit).
std::string_view ClosestConditionKey(const ReportSchema& schema, std::string_view key);

// Whether the switch holds in `dct`; an absent switch key reads as its
// default. Nothing when the switch key's value is not a number.
std::optional<bool> SwitchHolds(const ReportSchema& schema, const ConditionSwitch& condition_switch,
                                const platform::ConditionDictionary& dct);

}  // namespace orv::frame
