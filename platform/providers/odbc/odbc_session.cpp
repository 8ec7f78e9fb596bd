// An ODBC connection as a provider session. A batch runs with SQLExecDirect;
// its results are walked with SQLMoreResults, each row set read whole (the
// record sets are client-side), each statement's row count kept as the
// "(N rows affected)" message the embedded engine gives, and the first error
// kept for the connection to raise. The connection's command time-out, or
// less when the calling thread runs under a deadline of its own (a web
// request's), is the statement's query time-out.
#include <algorithm>
#include <chrono>
#include <memory>

#include "engine/common/interrupt.h"

#include "platform/ado_errors.h"
#include "platform/automation_error.h"
#include "platform/engine_row_source.h"
#include "platform/providers/odbc/odbc_diagnostics.h"
#include "platform/providers/odbc/odbc_properties.h"
#include "platform/providers/odbc/odbc_provider.h"
#include "platform/providers/odbc/odbc_result_reader.h"

namespace orv::platform::odbc {
namespace {

constexpr int kLoginFailed = 18456;
constexpr int32_t kHrAuthenticationFailed = static_cast<int32_t>(0x80040E4D);  // DB_SEC_E_AUTH_FAILED
constexpr SQLUINTEGER kLoginTimeoutSeconds = 30;
// A batch gives at most this many results; more means the driver is looping.
constexpr size_t kMaxResults = 1000000;

// The whole seconds a batch may run (0: no limit): `command_timeout`, cut to
// what is left of the earliest deadline of the thread's interrupt scopes.
SQLULEN QueryTimeoutSeconds(int32_t command_timeout) {
  using Clock = std::chrono::steady_clock;
  Clock::duration limit = command_timeout > 0 ? Clock::duration(std::chrono::seconds(command_timeout))
                                              : Clock::duration::max();
  for (const engine::InterruptState* scope = engine::CurrentInterrupt(); scope; scope = scope->outer) {
    if (scope->deadline != Clock::time_point::max()) limit = std::min(limit, scope->deadline - Clock::now());
  }
  if (limit == Clock::duration::max()) return 0;
  // ODBC counts whole seconds, and 0 would mean none at all.
  return static_cast<SQLULEN>(std::max<int64_t>(1, std::chrono::ceil<std::chrono::seconds>(limit).count()));
}

std::string RowsAffected(SQLLEN rows) {
  return rows == 1 ? "(1 row affected)" : "(" + std::to_string(rows) + " rows affected)";
}

class OdbcSession : public ProviderSession {
 public:
  explicit OdbcSession(const ConnectionProperties& properties)
      : environment_(SQL_HANDLE_ENV, SQL_NULL_HANDLE),
        connection_(Connect(properties)),
        state_field_is_severity_(IsFreeTdsDriver(*connection_)) {}

  ~OdbcSession() override { SQLDisconnect(connection_->get()); }

  std::vector<ProviderProperty> Properties() const override { return DataSourceProperties(*connection_); }

  ProviderBatch Execute(std::string_view batch) override {
    ProviderBatch out;
    OdbcHandle statement(SQL_HANDLE_STMT, connection_->get());
    if (const SQLULEN seconds = QueryTimeoutSeconds(command_timeout_); seconds > 0) {
      SQLSetStmtAttr(statement.get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(seconds), 0);
    }
    std::string text(batch);
    SQLRETURN rc = SQLExecDirect(statement.get(), reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()));
    for (size_t results = 0; rc != SQL_NO_DATA && results < kMaxResults; ++results) {
      if (rc == SQL_ERROR || rc == SQL_SUCCESS_WITH_INFO) NoteErrors(statement, out);
      if (SQL_SUCCEEDED(rc)) {
        try {
          ReadResult(statement, out);
        } catch (const ProviderFailure& failure) {
          if (!out.error) out.error = failure.error;
          break;
        }
      } else if (rc != SQL_ERROR) {
        break;  // SQL_INVALID_HANDLE and the like: nothing more can be read
      }
      rc = SQLMoreResults(statement.get());
    }
    return out;
  }

  void SetCommandTimeout(int32_t seconds) override { command_timeout_ = seconds; }

 private:
  std::unique_ptr<OdbcHandle> Connect(const ConnectionProperties& properties) {
    SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    auto connection = std::make_unique<OdbcHandle>(SQL_HANDLE_DBC, environment_.get());
    SQLSetConnectAttr(connection->get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(kLoginTimeoutSeconds)), 0);
    std::string text = OdbcConnectionString(properties);
    const SQLRETURN rc = SQLDriverConnect(connection->get(), nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                          static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
      // Read before anything else asks the handle: a new call replaces its diagnostics.
      const ProviderError error = FirstError(ReadDiagnostics(*connection, false));
      // A refused login is the provider's authentication failure, as ADO reports it.
      const bool login_failed = error.native_number == kLoginFailed;
      throw AutomationError(login_failed ? kHrAuthenticationFailed : kHrFail, std::string(kOdbcProviderName), error.message);
    }
    return connection;
  }

  void NoteErrors(const OdbcHandle& statement, ProviderBatch& out) const {
    if (out.error) return;
    const std::vector<DiagRecord> records = ReadDiagnostics(statement, state_field_is_severity_);
    for (const DiagRecord& record : records) {
      if (record.severity > 10) {
        out.error = FirstError(records);
        return;
      }
    }
  }

  void ReadResult(const OdbcHandle& statement, ProviderBatch& out) const {
    SQLSMALLINT columns = 0;
    SQLNumResultCols(statement.get(), &columns);
    if (columns > 0) {
      out.row_sets.push_back(std::make_shared<EngineRowSource>(ReadResultSet(statement, columns, state_field_is_severity_)));
      return;
    }
    SQLLEN rows = -1;
    if (SQL_SUCCEEDED(SQLRowCount(statement.get(), &rows)) && rows >= 0) out.messages.push_back(RowsAffected(rows));
  }

  OdbcHandle environment_;
  std::unique_ptr<OdbcHandle> connection_;
  bool state_field_is_severity_;
  int32_t command_timeout_ = 0;
};

}  // namespace

void RegisterOdbcProvider() {
  const ProviderFactory factory = [](const ConnectionProperties& properties) {
    return std::unique_ptr<ProviderSession>(std::make_unique<OdbcSession>(properties));
  };
  for (const std::string_view name : {std::string_view("SQLOLEDB"), std::string_view("MSDASQL"), kOdbcProviderName}) {
    RegisterProvider(name, factory);
  }
}

}  // namespace orv::platform::odbc
