// Shared by the command line's CSV output and the web viewer's export.
#include "results/csv_field.h"

namespace orv::results {

std::string CsvField(std::string_view text, bool force_quotes, char separator) {
  std::string field;
  AppendCsvField(field, text, force_quotes, separator);
  return field;
}

void AppendCsvField(std::string& out, std::string_view text, bool force_quotes, char separator) {
  const char special[] = {separator, '"', '\r', '\n', '\0'};
  if (!force_quotes && text.find_first_of(special) == std::string_view::npos) {
    out += text;
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace orv::results
