// The SQL routines of the expense invoice report: the filter predicates from
// the user's conditions, the detail batch that fills #AA_Rpt2010002 in one of
// its three layouts, the report's values of the grouped summary, and
// GetstrSQL, which runs the detail batch and the summary on the connection.
#pragma once

#include <memory>
#include <string>

#include "frame/cparse.h"
#include "platform/connection.h"
#include "platform/host_objects.h"
#include "platform/recordset.h"
#include "toolkit/summary_pipeline.h"

namespace orv::reports::rpt2010002 {

// The predicates for "WHERE   1=1 ": CR LF, then one " AND ..." per condition
// set in dct. No dictionary gives CR LF alone. Raises 13 for a date that is
// not one or a status that is no number (the dictionary's errors pass through).
std::string GetFilterSQL(const platform::ConditionDictionary* dct);

// The detail batch: SET NOCOUNT ON, the creation of #AA_Rpt2010002 and the
// insert of the expense invoice lines that pass GetFilterSQL. The table has
// FRptID and FRptName when the grouping keeps the report identifier. Without
// a dictionary it raises 91, as the layout cannot be chosen.
std::string GetDetailBatchSQL(const platform::ConditionDictionary* dct);

// The report's values of the grouped summary (and of its total row).
const toolkit::SummaryParameters& SummaryParameters();

// Runs the detail batch and the summary on `connection` and returns the rows
// of the last batch, detached. Errors are raised again with source CR LF +
// "Orvalent.CRPT2010002.GetstrSQL"; a command-text error (0x80040E14) gets the
// localized too-many-summary-columns text and CR LF before its description.
std::shared_ptr<platform::Recordset> GetstrSQL(platform::Connection& connection, const frame::CParse& parser,
                                               const std::string& sLanguage,
                                               const platform::ConditionDictionary* dct);

}  // namespace orv::reports::rpt2010002
