// The total-row batch of an ungrouped report (see total_row_sql.h).
#include "toolkit/total_row_sql.h"

#include "platform/host_objects.h"
#include "toolkit/local_text.h"
#include "toolkit/sql_literal.h"
#include "toolkit/sql_text.h"

namespace orv::toolkit {

std::string GetTotalRowSQL(const TotalRow& total, const std::string& sLanguage) {
  const std::string table(total.detail_table);
  const std::string label = QuoteText(GetLocalText(total.label, sLanguage));
  platform::SqlBuffer buffer;
  AppendLine(buffer, "--插入合计行");
  AppendLine(buffer, "  INSERT INTO " + table + " ");
  for (std::string_view line : total.column_lines) AppendLine(buffer, line);
  AppendLine(buffer, "    )");
  AppendLine(buffer, " Select '" + label + "' as " + std::string(total.label_column) + ",");
  for (std::string_view line : total.sum_lines) AppendLine(buffer, line);
  AppendLine(buffer, " From " + table + " ");
  AppendLine(buffer, "Select * From " + table);
  AppendLine(buffer, DropIfExists(table) + " ");
  return buffer.GetText();
}

}  // namespace orv::toolkit
