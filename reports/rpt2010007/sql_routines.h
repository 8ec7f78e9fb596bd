// The SQL routines of the application tracking report: the view the two view
// keys choose, the filter predicates of both document sides, the detail batch
// that fills #AA_Rpt2010007 with the application lines and what was
// requisitioned against them (and, in the source view, the requisition lines
// without an application), the report's values of the grouped summary, and
// GetstrSQL, which runs the detail batch and the summary on the connection.
#pragma once

#include <memory>
#include <string>

#include "frame/cparse.h"
#include "platform/connection.h"
#include "platform/host_objects.h"
#include "platform/recordset.h"
#include "toolkit/summary_pipeline.h"

namespace orv::reports::rpt2010007 {

// Application view: the application lines with everything requisitioned
// against them. Source view: the application lines and the requisition lines
// that do not go back to an application, each labelled with its origin.
enum class View { Application, Source };

// The view of FAppSource (GetValue, default 1) and FApplicationSource
// (default 0), each a truth value (Null false). Both set, or neither, is
// refused with error 5 naming the two keys: the detail rows of the two views
// cannot share one table, and without a view the summary has no quantities.
// Text that is no number raises 13.
View ReadView(const platform::ConditionDictionary& dct);

// Whether `key`, read with GetValue and `default_value`, is true.
bool ViewKeySet(const platform::ConditionDictionary& dct, std::string_view key, int default_value);

// The predicates of the application lines (aliases aa, ae, tc, td, td2, te,
// ts) and of the requisition lines (ca, tc, td, te, ts), each CR LF and then
// one " AND ..." per condition. Dates that are not dates and states that are
// no numbers raise 13.
void GetFilterSQL(const platform::ConditionDictionary& dct, std::string& strAppWhere, std::string& strCipWhere);

// The joins that make the aliases of the filter texts, one line each.
std::string AppJoinSQL();
std::string CipJoinSQL();

// The detail batch: SET NOCOUNT ON, the creation of #AA_Rpt2010007 for
// `view` and the insert of the application lines, with the requisitions of
// the three document chains summed per line; in the source view followed by
// the requisition lines without an application source.
std::string GetDetailBatchSQL(const std::string& sLanguage, const platform::ConditionDictionary& dct, View view);

// The second SELECT of the insert in the source view: " Union All" and the
// requisition lines whose bill reaches no application along any chain.
std::string SourceLinesSQL(const std::string& sLanguage, const std::string& strCipWhere);

// The report's values of the grouped summary in `view`; it always summarises.
const toolkit::SummaryParameters& SummaryParameters(View view);

// Runs the detail batch and the summary on `connection` and returns the rows
// of the last batch, detached. Without a dictionary it raises 91; contradicting
// view keys and choices the summary cannot carry out are refused before any
// batch runs. Errors are raised again with source CR LF +
// "Orvalent.CRPT2010007.GetstrSQL"; a command-text error (0x80040E14) gets the
// localized too-many-summary-columns text and CR LF before its description.
std::shared_ptr<platform::Recordset> GetstrSQL(platform::Connection& connection, const frame::CParse& parser,
                                               const std::string& sLanguage,
                                               const platform::ConditionDictionary* dct);

}  // namespace orv::reports::rpt2010007
