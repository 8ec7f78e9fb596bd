// The session parser's scanning (SplitToken, NextName, NextValue) and its
// table. The rest of the string is a view that each scanning step shortens, so
// a string of any size is read in one pass; nothing recurses.
#include "frame/cparse.h"

#include "frame/ignore_case.h"
#include "platform/ascii_text.h"
#include "platform/automation_error.h"
#include "platform/thread_loader.h"
#include "platform/variant.h"

namespace orv::frame {
namespace {

// Cuts `rest` at the first `delimiter`: returns the part before it and leaves
// the part after it in `rest`; without a delimiter the whole rest is taken.
std::string_view SplitToken(std::string_view& rest, char delimiter) {
  const size_t at = rest.find(delimiter);
  if (at == std::string_view::npos) {
    const std::string_view all = rest;
    rest = {};
    return all;
  }
  const std::string_view first = rest.substr(0, at);
  rest.remove_prefix(at + 1);
  return first;
}

std::string_view NextName(std::string_view& rest) { return platform::TrimSpaces(SplitToken(rest, '=')); }

std::string_view NextValue(std::string_view& rest) {
  rest = platform::TrimSpaces(rest);
  std::string_view value;
  if (!rest.empty() && rest.front() == '{') {
    rest.remove_prefix(1);
    value = SplitToken(rest, '}');
    SplitToken(rest, ';');  // whatever stands between "}" and ";" is skipped
  } else {
    value = SplitToken(rest, ';');
  }
  return platform::TrimSpaces(value);
}

}  // namespace

CParse::~CParse() { platform::ReleaseThreadLoader(); }

bool CParse::ParseString(std::string_view sToParse) {
  props_string_.assign(sToParse);
  table_.clear();
  index_.clear();
  std::string_view rest = props_string_;
  for (;;) {
    const std::string_view name = NextName(rest);
    // The value is taken before the test: a value after an empty name is lost.
    const std::string_view value = NextValue(rest);
    if (name.empty()) break;
    if (!index_.emplace(FoldCase(name), table_.size()).second) {
      platform::RaiseRuntimeError(platform::kErrDuplicateKey);
    }
    table_.emplace_back(std::string(name), std::string(value));
  }
  return true;
}

std::string CParse::GetProperty(std::string_view sPropName) const {
  const auto found = index_.find(FoldCase(sPropName));
  if (found == index_.end()) platform::RaiseRuntimeError(platform::kErrInvalidProcedureCall);
  return table_[found->second].second;
}

int16_t CParse::UserID() const { return platform::Variant(GetProperty("UserID")).ToInteger(); }

bool CParse::IsIndustry() const {
  const std::string kind = GetProperty("AcctType");
  return kind.size() == 2 && (kind[0] == 'G' || kind[0] == 'g') && (kind[1] == 'Y' || kind[1] == 'y');
}

}  // namespace orv::frame
