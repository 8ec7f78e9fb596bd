// The data source's properties as the ODBC driver reports them through
// SQLGetInfo, under the names and types the connection's callers read.
#pragma once

#include <vector>

#include "platform/provider.h"
#include "platform/providers/odbc/odbc_diagnostics.h"

namespace orv::platform::odbc {

// What the driver answers; a property it cannot answer is left out.
std::vector<ProviderProperty> DataSourceProperties(const OdbcHandle& connection);

}  // namespace orv::platform::odbc
