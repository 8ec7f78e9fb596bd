// How a report's GetstrSQL runs its batches: one after another on the report's
// connection, the record set of the last one detached and handed back, and
// every error raised again in the routine's name. A command text the database
// rejects gets the advice to choose the summary mode again in front of the
// database's own words.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "frame/cparse.h"
#include "platform/automation_error.h"
#include "platform/connection.h"
#include "platform/recordset.h"

namespace orv::toolkit {

// Runs one batch and returns its first record set (a closed one when it has
// none). Tests put a recorder in place of the connection.
using BatchRunner = std::function<std::shared_ptr<platform::Recordset>(const std::string& batch)>;

// Execute on `connection` (options -1); errors of the batch are raised.
BatchRunner ExecuteOn(platform::Connection& connection);

// Raises `caught` again with the source CR LF + "Orvalent.<class_name>.GetstrSQL".
// For 0x80040E14 the description becomes the localized "too many summary
// columns" advice, CR LF and the caught description; the advice is in the
// parser's language, or in sLanguage when the parser has none, so that the
// message about the first error is never replaced by one about the language.
[[noreturn]] void RaiseFromGetstrSQL(const platform::AutomationError& caught, std::string_view class_name,
                                     const frame::CParse& parser, const std::string& sLanguage);

// Runs `body`, which returns the record set of the report's last batch, and
// hands that back detached from its connection; errors go to RaiseFromGetstrSQL.
template <typename Body>
std::shared_ptr<platform::Recordset> TrapGetstrSQL(std::string_view class_name, const frame::CParse& parser,
                                                   const std::string& sLanguage, Body&& body) {
  try {
    std::shared_ptr<platform::Recordset> rows = body();
    rows->SetActiveConnection(nullptr);
    return rows;
  } catch (const platform::AutomationError& caught) {
    RaiseFromGetstrSQL(caught, class_name, parser, sLanguage);
  }
}

}  // namespace orv::toolkit
