// The report's rows made readable: captions in the session language,
// numbers rounded to the decimals their row's precision columns give, the
// internal columns left out, and a leading column that marks subtotal and
// total rows by FSumSort. Programs get the raw rows instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/result_table.h"
#include "frame/report_schema.h"

namespace orv::cli {

struct ReportView {
  bool captions = false;
  bool precision = false;
  bool hide_internal = false;
  bool mark_totals = false;
};

ResultTable ApplyReportView(const ResultTable& table, const frame::ReportSchema& schema, std::string_view language,
                            const ReportView& view);

// `text` (a plain decimal: digits, an optional sign and point) rounded half
// away from zero to `decimals` places and written with exactly that many;
// nothing when the text is no plain decimal (an exponent, say).
std::optional<std::string> RoundDecimalText(std::string_view text, int decimals);

}  // namespace orv::cli
