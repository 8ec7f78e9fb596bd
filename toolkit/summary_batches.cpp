// The batch texts of the grouped summary, line by line as they run (see
// summary_batches.h). Every line ends with CR LF unless a comment says not.
#include "toolkit/summary_batches.h"

#include "platform/host_objects.h"
#include "toolkit/sql_text.h"

namespace orv::toolkit::summary {

namespace {

constexpr std::string_view kTmpResult = "#TmpResult";
constexpr std::string_view kTmpResult2 = "#TmpResult2";
constexpr std::string_view kItemLevel = "#ItemLevel";

void AppendLines(platform::SqlBuffer& buffer, const std::vector<std::string_view>& lines) {
  for (std::string_view line : lines) AppendLine(buffer, line);
}

// The text between a begin and an end comment line, as the batches that are
// read in a trace carry them.
std::string Wrapped(std::string_view title, const std::string& text) {
  const std::string marker = "----" + std::string(title) + "SQL:";
  return marker + "Begin--\r\n" + text + "\r\n" + marker + "End--\r\n";
}

}  // namespace

std::string PlainRollupSQL(const SummaryParameters& p, const std::string& groups, const std::string& sort) {
  platform::SqlBuffer buffer;
  AppendLine(buffer, "");
  AppendLine(buffer, DropIfExists(kTmpResult) + " ");
  AppendLine(buffer, "Select " + groups + ",");
  AppendLines(buffer, p.rollup_measures);
  AppendLine(buffer, "   " + sort);
  AppendLine(buffer, "INTO #TmpResult ");
  AppendLine(buffer, "From " + std::string(p.detail_table) + " T1 ");
  AppendLine(buffer, "Group by " + groups + " With RollUp ");
  return buffer.GetText();
}

std::string LevelTableSQL(const std::string& level_sql) {
  return "--构建级次SQL:Begin--\r\n" + level_sql + "\r\n----构建级次SQL:End--\r\n";
}

std::string LevelRollupSQL(const SummaryParameters& p, const std::string& levels, const std::string& groups,
                           const std::string& sort, std::string_view item_column) {
  platform::SqlBuffer buffer;
  AppendLine(buffer, DropIfExists(kTmpResult) + " ");
  AppendLine(buffer, "Select " + levels + groups);
  AppendLine(buffer, sort + ",");
  AppendLines(buffer, p.level_rollup_measures.empty() ? p.rollup_measures : p.level_rollup_measures);
  AppendLine(buffer, "INTO #TmpResult");
  AppendLine(buffer, "From " + std::string(p.detail_table) + " t1");
  AppendLine(buffer, "Left Join #ItemLevel t2 On t2.FItemID=" + std::string(item_column));
  buffer.Append("Group By " + levels + groups + " With RollUp");  // the wrapper ends the line
  return Wrapped("关联2个表汇总取数", buffer.GetText());
}

std::string RollupTotalLabelSQL(const std::string& total_updates, std::string_view gap) {
  return "----更新汇总列的名称SQL:Begin--\r\n" + total_updates + std::string(gap) + "----更新汇总列的名称SQL:End--\r\n";
}

std::string NamesSQL(const SummaryParameters& p, const std::string& levels, const std::string& select,
                     bool keeps_report_id, const std::string& joins) {
  platform::SqlBuffer buffer;
  AppendLine(buffer, DropIfExists(kTmpResult2) + " ");
  AppendLine(buffer, "Select " + ReplaceAll(levels, "t2.", "") + select + "FSumSort" +
                         (keeps_report_id ? ",FRptID," : ","));
  AppendLines(buffer, p.result_measures);
  AppendLine(buffer, "INTO #TmpResult2");
  buffer.Append("From #TmpResult t1\r\n" + joins);  // the joins end their own lines
  return Wrapped("取各内码ID对应Number与名称", buffer.GetText());
}

std::string CleanupSQL(int32_t from, int32_t to, std::string_view name_column, const std::string& subtotal) {
  const std::string like = " Like '%(" + subtotal + ")%'";
  platform::SqlBuffer buffer;
  for (int64_t i = from; i <= to; ++i) {
    AppendLine(buffer, "Delete From #TmpResult2 Where  FNumber" + std::to_string(i) + like);
  }
  AppendLine(buffer, "Delete From #TmpResult2 Where " + std::string(name_column) + like);
  return buffer.GetText();
}

std::string FinalSQL(const SummaryParameters& p, const std::string& tmp2_levels, const std::string& select,
                     const std::string& detail_columns, const std::string& join_condition, bool show_sum) {
  const std::string table(p.detail_table);
  platform::SqlBuffer buffer;
  AppendLine(buffer, "Select " + tmp2_levels + (tmp2_levels.empty() ? "" : ",") + select);
  AppendLine(buffer, detail_columns);
  AppendLines(buffer, p.final_columns);
  AppendLine(buffer, "");
  AppendLine(buffer, "From #TmpResult2 tmp2 ");
  AppendLine(buffer, "Left Join " + table + " apt On " + join_condition);
  if (show_sum) AppendLine(buffer, " Where tmp2.FSumSort>0 ");
  for (std::string_view dropped : {kTmpResult, kTmpResult2, kItemLevel}) {
    AppendLine(buffer, DropIfExists(dropped) + " ");
  }
  AppendLine(buffer, DropIfExists(table + "_Update") + " ");
  AppendLine(buffer, DropIfExists(table) + " ");
  return buffer.GetText();
}

}  // namespace orv::toolkit::summary
