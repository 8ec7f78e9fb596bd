// Text helpers of the report SQL routines (see sql_text.h).
#include "toolkit/sql_text.h"

namespace orv::toolkit {

std::string DropIfExists(std::string_view table) {
  const std::string name(table);
  return "IF OBJECT_ID('tempdb.." + name + "')<>0 DROP TABLE " + name;
}

std::vector<std::string> SplitText(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, start)) {
    parts.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

std::string UpperText(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
  return UpperText(text).find(UpperText(part)) != std::string::npos;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  size_t start = 0;
  for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, start)) {
    result.append(text.substr(start, at - start)).append(to);
    start = at + from.size();
  }
  result.append(text.substr(start));
  return result;
}

}  // namespace orv::toolkit
