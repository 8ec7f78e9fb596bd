// The SQL routines of the requisition report: the filter predicates from the
// user's conditions, the detail batch that fills #AA_Rpt2010006 with the
// requisition lines and what each carried into asset records, the report's
// values of the grouped summary, and GetstrSQL, which runs the detail batch and
// the summary on the connection.
#pragma once

#include <memory>
#include <string>

#include "frame/cparse.h"
#include "platform/connection.h"
#include "platform/host_objects.h"
#include "platform/recordset.h"
#include "toolkit/summary_pipeline.h"

namespace orv::reports::rpt2010006 {

// The predicates for "WHERE 1=1 ": CR LF, then one " AND ..." per condition
// set in dct. No dictionary gives CR LF alone. Raises 13 for a date that is
// not one or a status that is no number (the dictionary's errors pass through).
std::string GetFilterSQL(const platform::ConditionDictionary* dct);

// The detail batch: SET NOCOUNT ON, the creation of #AA_Rpt2010006 and the
// insert of the requisition lines that pass GetFilterSQL, with the texts of
// check state, source and purpose in sLanguage.
std::string GetDetailBatchSQL(const std::string& sLanguage, const platform::ConditionDictionary* dct);

// The report's values of the grouped summary; the report always summarises.
const toolkit::SummaryParameters& SummaryParameters();

// Runs the detail batch and the summary on `connection` and returns the rows
// of the last batch, detached. Without a dictionary it raises 91; choices the
// summary cannot carry out are refused before any batch runs. Errors are
// raised again with source CR LF + "Orvalent.CRPT2010006.GetstrSQL"; a
// command-text error (0x80040E14) gets the localized too-many-summary-columns
// text and CR LF before its description.
std::shared_ptr<platform::Recordset> GetstrSQL(platform::Connection& connection, const frame::CParse& parser,
                                               const std::string& sLanguage,
                                               const platform::ConditionDictionary* dct);

}  // namespace orv::reports::rpt2010006
