// One CSV field as RFC 4180 writes it: quoted when it holds the separator
// (a comma, or a tab for tab-separated text), a quote or a line break (or
// when asked), with its quotes doubled.
#pragma once

#include <string>
#include <string_view>

namespace orv::results {

std::string CsvField(std::string_view text, bool force_quotes = false, char separator = ',');
// The same field added to the end of `out`, for a writer that builds a line at a time.
void AppendCsvField(std::string& out, std::string_view text, bool force_quotes = false, char separator = ',');

}  // namespace orv::results
