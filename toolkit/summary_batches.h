// The texts of the grouped summary's batches (see summary_pipeline.h), each
// built from the working texts of one call: the group list without its final
// ",", the level columns, the FSumSort fragment, the number and name select
// list with its joins. They only build text; RunSummary runs it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/summary_pipeline.h"

namespace orv::toolkit::summary {

// The rollup of the detail table by `groups` into #TmpResult, classified by `sort`.
std::string PlainRollupSQL(const SummaryParameters& p, const std::string& groups, const std::string& sort);

// The level table batch of GetLvlSQL between its comment lines.
std::string LevelTableSQL(const std::string& level_sql);

// The rollup by the level columns `levels` (each followed by ",") and then
// `groups`, with #ItemLevel joined on `item_column`.
std::string LevelRollupSQL(const SummaryParameters& p, const std::string& levels, const std::string& groups,
                           const std::string& sort, std::string_view item_column);

// The total labels run on #TmpResult right after the level rollup.
std::string RollupTotalLabelSQL(const std::string& total_updates, std::string_view gap);

// #TmpResult2: the level columns, the numbers and names of `select` with
// their `joins`, FSumSort (and FRptID when kept) and the measures.
std::string NamesSQL(const SummaryParameters& p, const std::string& levels, const std::string& select,
                     bool keeps_report_id, const std::string& joins);

// Deletes the rows whose level number from..to or `name_column` carries the
// localized subtotal word `subtotal`.
std::string CleanupSQL(int32_t from, int32_t to, std::string_view name_column, const std::string& subtotal);

// The final select joining #TmpResult2 back to the detail rows on
// `join_condition`, then the DROP of every temporary table. `tmp2_levels`
// lists the level columns ("tmp2.FNumber1,..."), `select` the rewritten
// number and name columns, `detail_columns` the "apt." columns of the fields
// not grouped.
std::string FinalSQL(const SummaryParameters& p, const std::string& tmp2_levels, const std::string& select,
                     const std::string& detail_columns, const std::string& join_condition, bool show_sum);

}  // namespace orv::toolkit::summary
