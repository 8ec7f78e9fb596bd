// A --conditions value that starts with "{" or "[" is JSON text; anything
// else names a file ("-" standard input).
#include "cli/report_conditions.h"

#include <ostream>
#include <stdexcept>

#include "cli/script_text.h"
#include "results/json_conditions.h"

namespace orv::cli {
namespace {

bool IsJsonText(const std::string& source) {
  const size_t first = source.find_first_not_of(" \t\r\n");
  return first != std::string::npos && (source[first] == '{' || source[first] == '[');
}

}  // namespace

std::shared_ptr<platform::ConditionDictionary> ReadConditions(const std::string& source,
                                                              const std::vector<std::string>& items) {
  auto dct = std::make_shared<platform::ConditionDictionary>();
  if (!source.empty()) {
    results::AddJsonConditions(*dct, IsJsonText(source) ? source : DecodeScript(ReadInput(source), source));
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
