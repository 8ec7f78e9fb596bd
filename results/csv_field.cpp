// Shared by the command line's CSV output and the web viewer's export.
#include "results/csv_field.h"

namespace orv::results {

std::string CsvField(std::string_view text, bool force_quotes, char separator) {
  const char special[] = {separator, '"', '\r', '\n', '\0'};
  if (!force_quotes && text.find_first_of(special) == std::string_view::npos) return std::string(text);
  std::string field = "\"";
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  return field + '"';
}

}  // namespace orv::results
