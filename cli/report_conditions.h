// The conditions of a report run: read from --conditions (a JSON file, "-"
// for standard input, or the JSON object itself) and --condition KEY=VALUE,
// in that order, so a --condition overrides the same key of the object.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "frame/condition_check.h"
#include "platform/host_objects.h"

namespace orv::cli {

// Throws std::runtime_error for anything unreadable: a missing file, JSON
// that is not one object, a value that is an array or object, an item
// without "=".
std::shared_ptr<platform::ConditionDictionary> ReadConditions(const std::string& source,
                                                              const std::vector<std::string>& items);

// Prints each issue as "error: ..." or "warning: ..."; true when none is an error.
bool PrintConditionIssues(const std::vector<frame::ConditionIssue>& issues, std::ostream& err);

}  // namespace orv::cli
