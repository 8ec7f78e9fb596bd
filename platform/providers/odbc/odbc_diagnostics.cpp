// Reading ODBC diagnostics.
#include "platform/providers/odbc/odbc_diagnostics.h"

#include <string_view>

#include "platform/ado_errors.h"
#include "platform/automation_error.h"
#include "platform/providers/odbc/odbc_provider.h"

namespace orv::platform::odbc {
namespace {

// SQL Server's driver-specific diagnostic fields.
constexpr SQLSMALLINT kDiagMessageState = -1150;
constexpr SQLSMALLINT kDiagSeverity = -1151;
constexpr SQLSMALLINT kDiagLine = -1154;
constexpr SQLSMALLINT kMaxRecords = 64;

bool IsWarningState(const std::string& sql_state) { return sql_state.starts_with("01"); }

// The driver's "Timeout expired": the query time-out stopped the batch.
constexpr std::string_view kTimeoutState = "HYT00";
// The error a batch stopped by a time-out or a cancel gives on the embedded
// path, which the connection reports as a time-out.
constexpr int kCanceledError = 3617;

// A numeric field of `Width` (drivers write the line as 16 bits, the others as 32).
template <typename Width>
bool DiagField(const OdbcHandle& handle, SQLSMALLINT record, SQLSMALLINT field, int& value) {
  Width read = 0;
  if (!SQL_SUCCEEDED(SQLGetDiagField(handle.type(), handle.get(), record, field, &read, sizeof read, nullptr))) return false;
  value = static_cast<int>(read);
  return true;
}

}  // namespace

OdbcHandle::OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
  if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle_))) {
    handle_ = SQL_NULL_HANDLE;
    throw AutomationError(kHrFail, std::string(kOdbcProviderName), "The ODBC driver manager could not allocate a handle.");
  }
}

OdbcHandle::~OdbcHandle() {
  if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
}

std::string WithoutPrefixes(std::string text) {
  while (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string::npos) break;
    text.erase(0, close + 1);
  }
  return text;
}

bool IsFreeTdsDriver(const OdbcHandle& connection) {
  char name[256] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(connection.get(), SQL_DRIVER_NAME, name, sizeof name, &length))) return false;
  return std::string_view(name).find("tdsodbc") != std::string_view::npos;
}

std::vector<DiagRecord> ReadDiagnostics(const OdbcHandle& handle, bool state_field_is_severity) {
  std::vector<DiagRecord> records;
  for (SQLSMALLINT i = 1; i <= kMaxRecords; ++i) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    std::string text(1024, '\0');
    SQLRETURN rc = SQLGetDiagRec(handle.type(), handle.get(), i, state, &native, reinterpret_cast<SQLCHAR*>(text.data()),
                                 static_cast<SQLSMALLINT>(text.size()), &length);
    if (rc == SQL_NO_DATA || !SQL_SUCCEEDED(rc)) break;
    if (static_cast<size_t>(length) >= text.size()) {
      text.assign(static_cast<size_t>(length) + 1, '\0');
      rc = SQLGetDiagRec(handle.type(), handle.get(), i, state, &native, reinterpret_cast<SQLCHAR*>(text.data()),
                         static_cast<SQLSMALLINT>(text.size()), &length);
    }
    text.resize(std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), text.size()));
    DiagRecord record;
    record.sql_state = reinterpret_cast<const char*>(state);
    record.native_number = native;
    record.message = WithoutPrefixes(text);
    const bool has_severity = state_field_is_severity
                                  ? DiagField<SQLINTEGER>(handle, i, kDiagMessageState, record.severity)
                                  : DiagField<SQLINTEGER>(handle, i, kDiagSeverity, record.severity);
    // Without the field: warnings are messages, the rest errors.
    if (!has_severity) record.severity = IsWarningState(record.sql_state) ? 0 : 16;
    if (!state_field_is_severity) DiagField<SQLINTEGER>(handle, i, kDiagMessageState, record.state);
    DiagField<SQLUSMALLINT>(handle, i, kDiagLine, record.line);
    records.push_back(std::move(record));
  }
  return records;
}

ProviderError FirstError(const std::vector<DiagRecord>& records) {
  for (const DiagRecord& record : records) {
    if (record.sql_state == kTimeoutState) {
      return ProviderError{kCanceledError, 16, 1, 0, record.message, std::string(kOdbcProviderName)};
    }
    if (record.severity > 10 || (record.severity == 0 && !IsWarningState(record.sql_state))) {
      return ProviderError{record.native_number, record.severity == 0 ? 16 : record.severity, record.state,
                           record.line, record.message, std::string(kOdbcProviderName)};
    }
  }
  std::string text = "The ODBC call failed without a diagnostic.";
  if (!records.empty()) text = records.front().message;
  return ProviderError{0, 16, 1, 0, text, std::string(kOdbcProviderName)};
}

}  // namespace orv::platform::odbc
