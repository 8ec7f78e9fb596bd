// The ODBC provider: connection strings that name a server run their batches
// through unixODBC instead of the embedded engine. "Provider=SQLOLEDB;Data
// Source=host,port;Initial Catalog=db;User ID=u;Password=p" is turned into the
// driver's own string; "Driver=...;Server=..." strings (no Provider, which
// ADO reads as its ODBC provider) pass through. Record sets, column types and
// error numbers come out as on the embedded path.
#pragma once

#include <string>
#include <string_view>

#include "platform/connection_string.h"

namespace orv::platform::odbc {

inline constexpr std::string_view kOdbcProviderName = "Orvalent.Odbc";

// Registers under SQLOLEDB, MSDASQL (ADO's default provider) and Orvalent.Odbc.
void RegisterOdbcProvider();

// The ODBC connection string for `properties`. Adds ClientCharset=UTF-8 when
// absent, since values are read as UTF-8 text.
std::string OdbcConnectionString(const ConnectionProperties& properties);

}  // namespace orv::platform::odbc
