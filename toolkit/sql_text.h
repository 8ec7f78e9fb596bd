// Small text helpers shared by the routines that write report SQL: the line
// break every appended fragment ends with, splitting a column list at its
// commas, and the letter-case tests the routines make on column names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/host_objects.h"

namespace orv::toolkit {

inline constexpr std::string_view kCrLf = "\r\n";

// Appends `line` and the line break that ends every fragment of a batch.
inline void AppendLine(platform::SqlBuffer& buffer, std::string_view line) {
  buffer.Append(line);
  buffer.Append(kCrLf);
}

// "IF OBJECT_ID('tempdb..<table>')<>0 DROP TABLE <table>" for a temporary table ("#...").
std::string DropIfExists(std::string_view table);

// Splits at every `separator`; "a,b," gives "a", "b" and a trailing "".
std::vector<std::string> SplitText(std::string_view text, char separator);

// ASCII upper case; other bytes (UTF-8 sequences included) are kept.
std::string UpperText(std::string_view text);

// Whether `text` contains `part`, ignoring ASCII letter case.
bool ContainsNoCase(std::string_view text, std::string_view part);

// Replaces every occurrence of `from` in `text` by `to` (exact comparison).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace orv::toolkit
