// Quoting of values spliced into report SQL (see sql_literal.h).
#include "toolkit/sql_literal.h"

#include "platform/automation_error.h"

namespace orv::toolkit {

std::string QuoteText(std::string_view v) {
  std::string quoted;
  quoted.reserve(v.size());
  for (char c : v) {
    quoted.push_back(c);
    if (c == '\'') quoted.push_back('\'');
  }
  return quoted;
}

namespace {

bool IsParenthesisedList(std::string_view text) {
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  for (char c : text.substr(1, text.size() - 2)) {
    if (!(c >= '0' && c <= '9') && c != ',' && c != ' ') return false;
  }
  return true;
}

}  // namespace

std::string ItemClassList(const platform::Variant& v) {
  if (v.type() == platform::VarType::String) {
    std::string text = v.ToString();
    if (IsParenthesisedList(text)) return text;
    if (!v.IsNumeric()) platform::RaiseRuntimeError(platform::kErrTypeMismatch);
  }
  // A single class: converted, so only digits (and a sign) reach the SQL.
  return std::to_string(v.ToLong());
}

}  // namespace orv::toolkit
