// ODBC handles that free themselves, and the diagnostic records of a call:
// the server's message number, severity, state and line as the driver passes
// them on, and the text without the driver's "[vendor][component]" prefixes.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

#include "platform/provider.h"

namespace orv::platform::odbc {

class OdbcHandle {
 public:
  OdbcHandle(SQLSMALLINT type, SQLHANDLE parent);  // throws AutomationError when ODBC cannot allocate
  ~OdbcHandle();
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;
  SQLHANDLE get() const { return handle_; }
  SQLSMALLINT type() const { return type_; }

 private:
  SQLSMALLINT type_;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

struct DiagRecord {
  std::string sql_state;
  int native_number = 0;
  int severity = 0;  // 0 to 10: a message, not an error
  int state = 1;
  int line = 0;
  std::string message;
};

// FreeTDS puts the message's severity in the field where SQL Server's own
// driver puts its state (and has no state): `state_field_is_severity` reads it so.
std::vector<DiagRecord> ReadDiagnostics(const OdbcHandle& handle, bool state_field_is_severity);

// Whether the connection's driver is FreeTDS.
bool IsFreeTdsDriver(const OdbcHandle& connection);

// The first record that is an error; a made-up one from the SQL state when
// the driver reported none (so a failure never passes as success). The
// driver's query time-out is error 3617, as a cancelled batch gives it.
ProviderError FirstError(const std::vector<DiagRecord>& records);

// "[FreeTDS][SQL Server]Invalid object name 't'." -> "Invalid object name 't'."
std::string WithoutPrefixes(std::string text);

}  // namespace orv::platform::odbc
