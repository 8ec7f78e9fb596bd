// The SQL routines of the procurement order execution report: the filter
// predicates from the user's conditions, the two batches (order lines into
// #AA_Rpt2010005, then the total row and the result) and GetstrSQL, which runs
// them on the report's connection.
#pragma once

#include <memory>
#include <string>

#include "frame/cparse.h"
#include "platform/connection.h"
#include "platform/host_objects.h"
#include "platform/recordset.h"

namespace orv::reports::rpt2010005 {

// The predicates for "WHERE 1=1": CR LF, then one " AND ..." per condition
// set in dct, then the check-status predicate. No dictionary gives CR LF alone.
// Raises 13 for a date that is not one (the dictionary's errors pass through).
std::string GetFilterSQL(const platform::ConditionDictionary* dct);

// The first batch: SET NOCOUNT ON, the creation of #AA_Rpt2010005 and the
// insert of the order lines that pass GetFilterSQL; status texts in sLanguage.
std::string GetDetailBatchSQL(const std::string& sLanguage, const platform::ConditionDictionary* dct);

// The second batch: the total row, the SELECT of every row and the DROP.
std::string GetTotalBatchSQL(const std::string& sLanguage);

// Runs both batches on `connection` and returns the rows of the second,
// detached from the connection. Errors are raised again with source CR LF +
// "Orvalent.CRPT2010005.GetstrSQL"; a command-text error (0x80040E14) gets the
// localized too-many-summary-columns text and CR LF before its description.
std::shared_ptr<platform::Recordset> GetstrSQL(platform::Connection& connection, const frame::CParse& parser,
                                               const std::string& sLanguage,
                                               const platform::ConditionDictionary* dct);

}  // namespace orv::reports::rpt2010005
