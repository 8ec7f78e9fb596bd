// The batch that closes a report without grouping: one grand-total row with
// FSumSort 101 and a label in the session language goes into the detail
// table, then every row of the table is returned and the table dropped. The
// total row has no place among the detail rows: the batch orders nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv::toolkit {

struct TotalRow {
  std::string_view detail_table;               // "#AA_Rpt2010002"
  std::vector<std::string_view> column_lines;  // the insert's column list, "   ( ..." up to before "    )"
  std::string_view label_column;               // the text column that carries the label
  std::string_view label;                      // the label in simplified Chinese ("合计:")
  std::vector<std::string_view> sum_lines;     // the sums, in the order of the columns after the label
};

// The batch for `total`, its label translated into sLanguage (apostrophes doubled).
std::string GetTotalRowSQL(const TotalRow& total, const std::string& sLanguage);

}  // namespace orv::toolkit
