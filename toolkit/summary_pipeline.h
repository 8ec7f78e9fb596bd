// The grouped summary that the grouped reports run after their detail batch:
// the detail table rolled up into #TmpResult (optionally under the number
// levels of the outermost item, from #ItemLevel), numbers and names added in
// #TmpResult2, subtotal and total rows labelled, the summary joined back to
// the detail rows and every temporary table dropped; or, without grouping,
// one total row. Each step is its own batch on the report's connection. What
// differs between the reports is data, given in SummaryParameters.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/cparse.h"
#include "platform/host_objects.h"
#include "platform/recordset.h"
#include "toolkit/str_sql_run.h"
#include "toolkit/total_row_sql.h"

namespace orv::toolkit {

// A grouping option: `key` read with Item holds `value` ("FGroupBySupply" = "0").
struct OptionValue {
  std::string_view key;
  std::string_view value;
};

// The level item of a group code of GetLvlSQL: the detail column that joins
// #ItemLevel ("t1.FSupplyID") and the name column its subtotal label lands in.
struct LevelItem {
  int32_t code;
  std::string_view item_column;
  std::string_view name_column;
};

// Every occurrence of `from` becomes `to` (exact case).
struct TextRename {
  std::string_view from;
  std::string_view to;
};

// `columns` leave the detail columns of the result when any of `keys`, read
// with the default "", has text: that field comes from the summary instead.
struct ColumnRemoval {
  std::vector<std::string_view> keys;
  std::string_view columns;
};

// Whether the constant FRptID stays in the summary as the last group column,
// which gives the last real group column a subtotal of its own.
struct ReportIdRule {
  bool always_kept = true;
  std::vector<OptionValue> kept_by;     // when not always kept: the options that keep it
  std::vector<OptionValue> dropped_by;  // the options that take "T1.FRptID" out of the group list
};

struct LevelRules {
  // The level path needs FLvlTo (GetValue, default 0) not 0, and, when this
  // key is set, the key (same read) not 0 as well.
  std::string_view check_key;
  // Level columns: number and name per level (FNumber1,FName1,...), or names only.
  bool numbers = true;
  // After the labels, rows whose level number or level item name carries the
  // subtotal label are deleted (they repeat the row of the column before).
  // Runs when FLvlFrom and FLvlTo (GetValue, no default) are both above 0.
  bool cleanup = false;
  // The level item is looked up for every code; without one the call stops
  // with error 9. Otherwise only codes above 0 need one, and a code of 0
  // leaves the level join without its column, which the database rejects.
  bool item_required = false;
  // Set: the total labels run at once on #TmpResult after the level rollup,
  // wrapped in comment lines; the value stands between the updates and the
  // closing comment ("" or CR LF).
  std::optional<std::string_view> rollup_total_gap;
};

struct SummaryParameters {
  std::string_view detail_table;                        // "#AA_Rpt2010002"
  std::vector<std::string_view> rollup_measures;        // sums after the group columns of the rollup
  std::vector<std::string_view> level_rollup_measures;  // the same on the level path; empty: rollup_measures
  std::vector<std::string_view> result_measures;        // the measure lines of #TmpResult2
  ReportIdRule report_id;
  std::vector<LevelItem> level_items;
  LevelRules levels;
  // Move each label from an identifier column to its name column, and from
  // #TmpResult to #TmpResult2, in this order.
  std::vector<TextRename> label_renames;
  // "": the total labels always run after #TmpResult2; else only when this
  // key, read with Item, equals 0.
  std::string_view total_label_check_key;
  std::vector<TextRename> final_rewrites;  // the select list of #TmpResult2 turned to tmp2 columns
  std::string_view identity_columns;       // "FSupplyID,FSupplyNumber,...," of the detail rows
  std::vector<ColumnRemoval> identity_removals;
  std::vector<std::string_view> final_columns;  // fixed lines of the final select
  // The total row of the mode without grouping, chosen when FChkGroupBy
  // (GetValue, default 0) is not 1; unset: the report always groups.
  std::optional<TotalRow> total_row;
  // The grouping keys of the report's group fields. Set: a choice of none is
  // refused where the summary cannot run without one (the total label would
  // go into the integer FRptID), and the refusal names these keys.
  std::vector<std::string_view> group_keys;
};

// Whether `dct` asks for the grouped summary.
bool IsGrouped(const SummaryParameters& parameters, const platform::ConditionDictionary& dct);

// Whether FRptID is a group column of the summary, so the detail table must have it.
bool KeepsReportId(const SummaryParameters& parameters, const platform::ConditionDictionary& dct);

// Refuses, before any batch runs, the choices the summary cannot carry out:
// no group field (of group_keys) where the total label would need one
// raises 5; a level path whose outermost group field has no level item where
// one is required raises 9. Both descriptions name the condition keys.
void CheckSummaryConditions(const SummaryParameters& parameters, const platform::ConditionDictionary& dct);

// Runs the summary batches through `run`, in order, after the detail batch
// has filled the detail table, and returns what the last one returned: the
// report's rows. Errors of the routines it calls and of `run` pass through; a
// level range wider than the level tables allow raises 5 (runtime error), and
// the choices CheckSummaryConditions refuses raise as it says.
std::shared_ptr<platform::Recordset> RunSummary(const SummaryParameters& parameters,
                                                const platform::ConditionDictionary& dct,
                                                const frame::CParse& oParse, const std::string& sLanguage,
                                                const BatchRunner& run);

}  // namespace orv::toolkit
