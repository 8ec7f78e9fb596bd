// The grouped summary that the requisition and the application tracking
// reports share: item, supplier, applicant or requisitioner, and using
// department as group fields, the report identifier always kept as the last
// group column, the level switch FChkLevel with level names only, and the
// label moves and result columns of those four fields. Each report adds its
// own measures and fixed result columns.
#pragma once

#include <string_view>

#include "toolkit/summary_pipeline.h"

namespace orv::reports {

// The shared values; `rollup_total_gap` stands between the total labels run on
// #TmpResult after the level rollup and their closing comment ("" or CR LF).
toolkit::SummaryParameters FourFieldSummary(std::string_view detail_table, std::string_view rollup_total_gap);

}  // namespace orv::reports
