// RunSummary: the steps of the grouped summary in the order they run, with
// the decisions the condition dictionary drives (grouped or not, plain rollup
// or level path, FRptID kept, labels, clean-up, summary rows only). The batch
// texts are in summary_batches.cpp.
#include "toolkit/summary_pipeline.h"

#include "platform/automation_error.h"
#include "toolkit/local_text.h"
#include "toolkit/report_toolkit.h"
#include "toolkit/sql_literal.h"
#include "toolkit/sql_text.h"
#include "toolkit/summary_batches.h"

namespace orv::toolkit {

namespace {

using platform::ConditionDictionary;
using platform::Variant;

bool AnyOption(const ConditionDictionary& dct, const std::vector<OptionValue>& options) {
  for (const OptionValue& option : options) {
    if (platform::Equals(dct.Item(option.key), Variant(option.value))) return true;
  }
  return false;
}

bool NotZero(const ConditionDictionary& dct, std::string_view key) {
  return !platform::Equals(dct.GetValue(key, Variant(0)), Variant(0));
}

// The text less its last character, as the runtime's Left(s, Len(s) - 1):
// an empty text has none to lose and raises 5.
std::string DropLast(std::string text) {
  if (text.empty()) platform::RaiseRuntimeError(platform::kErrInvalidProcedureCall);
  text.pop_back();
  return text;
}

// The second "."-separated part ("t1.FSupplyID" gives "FSupplyID"); a text
// without "." has none, which raises 9 as indexing past a split would.
std::string AfterDot(std::string_view column) {
  const size_t dot = column.find('.');
  if (dot == std::string_view::npos) platform::RaiseRuntimeError(platform::kErrSubscriptOutOfRange);
  const std::string_view rest = column.substr(dot + 1);
  return std::string(rest.substr(0, rest.find('.')));
}

std::string Renamed(std::string text, const std::vector<TextRename>& renames) {
  for (const TextRename& rename : renames) text = ReplaceAll(text, rename.from, rename.to);
  return text;
}

// Each name of a ","-separated list, prefixed and followed by ",". Empty
// names (the tail after a final ",") are skipped.
std::string Prefixed(std::string_view list, std::string_view prefix) {
  std::string result;
  for (const std::string& name : SplitText(list, ',')) {
    if (!name.empty()) result.append(prefix).append(name).append(",");
  }
  return result;
}

// "tmp2.F = apt.F" for every group column, joined by "  And  ": a rollup row
// of the finest grouping meets its detail rows, a summary row (a rolled-up
// NULL in one of them) meets none.
std::string JoinCondition(const std::string& groups) {
  std::string condition;
  for (const std::string& name : SplitText(DropLast(ReplaceAll(groups, "T1.", "")), ',')) {
    condition += (condition.empty() ? "" : "  And  ") + ("tmp2." + name + " = apt." + name);
  }
  return condition;
}

// The detail columns of the fields the summary does not carry.
std::string DetailColumns(const SummaryParameters& p, const ConditionDictionary& dct) {
  std::string columns(p.identity_columns);
  for (const ColumnRemoval& removal : p.identity_removals) {
    bool chosen = false;
    for (std::string_view key : removal.keys) chosen = chosen || dct.GetValue(key, Variant("")).TextLength() > 0;
    if (chosen) columns = ReplaceAll(columns, removal.columns, "");
  }
  return Prefixed(columns, "apt.");
}

struct LevelRange {
  int32_t from = 0;
  int32_t to = 0;
};

// The level range as numbers (Item). The level tables stop at a fixed depth,
// and so does the list of level columns: a wild range must not make a text
// that grows without bound.
LevelRange ReadLevelRange(const ConditionDictionary& dct) {
  const LevelRange range{dct.Item("FLvlFrom").ToLong(), dct.Item("FLvlTo").ToLong()};
  CheckLevelRange(range.from, range.to);
  return range;
}

std::string LevelColumns(const LevelRules& rules, LevelRange range) {
  std::string columns;
  for (int64_t i = range.from; i <= range.to; ++i) {
    const std::string level = std::to_string(i);
    if (rules.numbers) columns += "t2.FNumber" + level + ",";
    columns += "t2.FName" + level + ",";
  }
  return columns;
}

// The level columns of the final select: "tmp2.FNumber1,tmp2.FName1,...".
std::string Tmp2Levels(const std::string& levels) {
  std::string columns;
  for (const std::string& name : SplitText(DropLast(ReplaceAll(levels, "t2.", "")), ',')) {
    columns += (columns.empty() ? "tmp2." : ",tmp2.") + name;
  }
  return columns;
}

// The working texts that the steps after the rollup share.
struct Rollup {
  std::string levels;       // "t2.FNumber1,t2.FName1,..." (empty on the plain path)
  std::string tmp2_levels;  // the same as columns of tmp2, without the final ","
  std::string total_updates;
  std::string subtotal_updates;
  std::string name_column;  // of the level item
};

Rollup RunPlainRollup(const SummaryParameters& p, const std::string& groups, const frame::CParse& oParse,
                      const BatchRunner& run) {
  Rollup rollup;
  const std::string sort = GetSortSQL(groups, rollup.total_updates, rollup.subtotal_updates, oParse);
  run(summary::PlainRollupSQL(p, groups, sort));
  return rollup;
}

// "A, B, C or D".
std::string KeyList(const std::vector<std::string_view>& keys) {
  std::string list;
  for (size_t i = 0; i < keys.size(); ++i) {
    list += (i == 0 ? "" : i + 1 == keys.size() ? " or " : ", ") + std::string(keys[i]);
  }
  return list;
}

// The level item of `code`; where the report needs one and has none the
// level join would have no column: refused with error 9, as indexing past the
// split of an empty column name would be, but saying which keys to change.
const LevelItem* LevelItemOf(const SummaryParameters& p, int32_t code) {
  for (const LevelItem& item : p.level_items) {
    if (item.code == code) return &item;
  }
  if (!p.levels.item_required) return nullptr;
  std::string description = "Subscript out of range: the level range (" + std::string(p.levels.check_key) +
                            (p.levels.check_key.empty() ? "" : ", ") +
                            "FLvlFrom, FLvlTo) needs levels of the outermost group field, and its group code " +
                            std::to_string(code) + " has none.";
  if (!p.group_keys.empty()) description += " Put one of " + KeyList(p.group_keys) + " at position \"0\".";
  throw platform::AutomationError(platform::kErrSubscriptOutOfRange, "Orvalent", description);
}

Rollup RunLevelRollup(const SummaryParameters& p, const ConditionDictionary& dct, const std::string& groups,
                      const frame::CParse& oParse, const BatchRunner& run) {
  int32_t code = 0;
  std::string level_sql = GetLvlSQL(dct, code);
  const LevelItem* item = LevelItemOf(p, code);
  const std::string_view item_column = item ? item->item_column : "";
  // Only the items that occur in the detail rows get level rows.
  if (code > 0) {
    level_sql = ReplaceAll(level_sql, "##ITEMFILTER##",
                           " AND FItemID IN(Select " + AfterDot(item_column) + " From " +
                               std::string(p.detail_table) + ")");
  }
  run(summary::LevelTableSQL(level_sql));

  Rollup rollup;
  rollup.name_column = item ? item->name_column : "";
  rollup.levels = LevelColumns(p.levels, ReadLevelRange(dct));
  // The level columns lead, so they are the outer groups of the rollup.
  const std::string sort = GetSortSQL(rollup.levels + groups, rollup.total_updates, rollup.subtotal_updates, oParse);
  rollup.tmp2_levels = Tmp2Levels(rollup.levels);
  run(summary::LevelRollupSQL(p, rollup.levels, groups, sort, item_column));
  if (p.levels.rollup_total_gap) run(summary::RollupTotalLabelSQL(rollup.total_updates, *p.levels.rollup_total_gap));
  return rollup;
}

bool LevelPath(const SummaryParameters& p, const ConditionDictionary& dct) {
  return (p.levels.check_key.empty() || NotZero(dct, p.levels.check_key)) && NotZero(dct, "FLvlTo");
}

bool TotalLabelsRun(const SummaryParameters& p, const ConditionDictionary& dct) {
  return p.total_label_check_key.empty() || platform::Equals(dct.Item(p.total_label_check_key), Variant(0));
}

void RunLabels(const SummaryParameters& p, const ConditionDictionary& dct, const Rollup& rollup,
               const BatchRunner& run) {
  if (TotalLabelsRun(p, dct)) {
    const std::string total = Renamed(rollup.total_updates, p.label_renames);
    if (!total.empty()) run(total);
  }
  const std::string subtotal = Renamed(rollup.subtotal_updates, p.label_renames);
  if (!subtotal.empty()) run(subtotal);
}

bool CleanupWanted(const SummaryParameters& p, const ConditionDictionary& dct) {
  return p.levels.cleanup && platform::GreaterThan(dct.GetValue("FLvlFrom", Variant()), Variant(0)) &&
         platform::GreaterThan(dct.GetValue("FLvlTo", Variant()), Variant(0));
}

}  // namespace

bool IsGrouped(const SummaryParameters& parameters, const ConditionDictionary& dct) {
  return !parameters.total_row || platform::Equals(dct.GetValue("FChkGroupBy", Variant(0)), Variant(1));
}

bool KeepsReportId(const SummaryParameters& parameters, const ConditionDictionary& dct) {
  return parameters.report_id.always_kept || AnyOption(dct, parameters.report_id.kept_by);
}

void CheckSummaryConditions(const SummaryParameters& p, const ConditionDictionary& dct) {
  if (!IsGrouped(p, dct)) return;
  if (LevelPath(p, dct)) {
    int32_t code = 0;
    GetLvlSQL(dct, code);
    LevelItemOf(p, code);
    return;
  }
  if (p.group_keys.empty() || !TotalLabelsRun(p, dct) || GetGroupField(dct, true) != "T1.FRptID,") return;
  throw platform::AutomationError(
      platform::kErrInvalidProcedureCall, "Orvalent",
      "No group field is chosen: put one of " + KeyList(p.group_keys) + " at a position (\"0\" outermost). " +
          "Without one the total label would go into the integer column FRptID" +
          (p.total_label_check_key.empty() ? "." : " (" + std::string(p.total_label_check_key) + " is 0)."));
}

std::shared_ptr<platform::Recordset> RunSummary(const SummaryParameters& p, const ConditionDictionary& dct,
                                                const frame::CParse& oParse, const std::string& sLanguage,
                                                const BatchRunner& run) {
  if (!IsGrouped(p, dct)) return run(GetTotalRowSQL(*p.total_row, sLanguage));
  CheckSummaryConditions(p, dct);

  std::string groups = GetGroupField(dct, true);
  if (AnyOption(dct, p.report_id.dropped_by)) groups = DropLast(ReplaceAll(groups, "T1.FRptID", ""));
  const std::string join_condition = JoinCondition(groups);
  groups = DropLast(groups);

  const Rollup rollup = LevelPath(p, dct) ? RunLevelRollup(p, dct, groups, oParse, run)
                                   : RunPlainRollup(p, groups, oParse, run);

  std::string select_group = groups;
  std::string joins;
  const std::string select = GetJoinSQL(select_group, joins, dct, oParse);
  run(summary::NamesSQL(p, rollup.levels, select, KeepsReportId(p, dct), joins));

  RunLabels(p, dct, rollup, run);
  if (CleanupWanted(p, dct)) {
    const LevelRange range = ReadLevelRange(dct);
    run(summary::CleanupSQL(range.from, range.to, rollup.name_column,
                            QuoteText(GetLocalText("小计", sLanguage))));
  }

  const bool show_sum = platform::Equals(dct.Item("FShowSum"), Variant(1));
  return run(summary::FinalSQL(p, rollup.tmp2_levels, Renamed(select, p.final_rewrites), DetailColumns(p, dct),
                               join_condition, show_sum));
}

}  // namespace orv::toolkit
