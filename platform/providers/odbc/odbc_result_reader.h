// Reads the current result of an ODBC statement into an engine result set:
// the driver's column descriptions become the engine's column types (so the
// record set describes them exactly as on the embedded path) and every value
// is fetched and converted.
#pragma once

#include "engine/engine.h"
#include "platform/providers/odbc/odbc_diagnostics.h"

namespace orv::platform::odbc {

// Throws ProviderFailure when fetching fails.
engine::ResultSet ReadResultSet(const OdbcHandle& statement, SQLSMALLINT column_count, bool state_field_is_severity);

struct ProviderFailure {
  ProviderError error;
};

}  // namespace orv::platform::odbc
