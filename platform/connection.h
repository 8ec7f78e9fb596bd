// The ADO-like connection: opened with a connection string, it runs batches on
// one provider session and hands back the first row set of each batch as a
// record set (the next ones through NextRecordset). A batch that reports an
// error raises it, whatever came before it, with the provider's HRESULT; the
// database's own number stays in Errors().
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/object.h"
#include "platform/property_collection.h"
#include "platform/provider.h"

namespace orv::platform {

class Recordset;

inline constexpr int32_t adStateClosed = 0;
inline constexpr int32_t adStateOpen = 1;
inline constexpr int32_t adUseServer = 2;
inline constexpr int32_t adUseClient = 3;

// One entry of the connection's Errors collection.
struct ErrorRecord {
  int32_t number = 0;  // the HRESULT the caller sees
  int native_error = 0;
  std::string sql_state;
  std::string description;
  std::string source;
  int line = 0;
};

class Connection : public Object, public std::enable_shared_from_this<Connection> {
 public:
  Connection();
  ~Connection() override;

  // Opens a session with the provider the string names. 3705 when already
  // open, 3706 for a provider that is not installed.
  void Open(std::string_view connection_string, std::string_view user = "", std::string_view password = "",
            int32_t options = -1);
  // 3704 when not open. Record sets still attached to the connection are closed
  // with it; detached ones stay readable.
  void Close();
  int32_t State() const { return session_ ? adStateOpen : adStateClosed; }
  const std::string& ConnectionString() const { return connection_string_; }

  int32_t CursorLocation() const { return cursor_location_; }
  void SetCursorLocation(int32_t location);  // 2 or 3, else 3001
  int32_t CommandTimeout() const { return command_timeout_; }
  void SetCommandTimeout(int32_t seconds);  // 0 = none; negative is 3001

  // Runs `command_text` as one batch. Returns its first row set, or a closed
  // record set when the batch has none. 3709 when the connection is not open;
  // an error in the batch raises it (see the file comment).
  std::shared_ptr<Recordset> Execute(std::string_view command_text, int32_t options = -1,
                                     int32_t* records_affected = nullptr);

  // A local transaction, as ADO's BeginTrans, CommitTrans and RollbackTrans:
  // the batches run between them stand or fall together. They send no batch
  // of the caller's, so the execute observer does not see them.
  void BeginTrans();
  void CommitTrans();
  void RollbackTrans();

  // The errors of the last Execute (empty after one that succeeded).
  const std::vector<ErrorRecord>& Errors() const { return errors_; }

  // The data source's properties ("DBMS Name", "Multiple Results", ...): read
  // from the provider when the connection opens and on Refresh, empty while closed.
  PropertyCollection& Properties() { return properties_; }

 private:
  friend class Recordset;
  void Attach(const std::shared_ptr<Recordset>& recordset);
  void Detach(const Recordset* recordset);
  // Runs one batch on the session; its error raises (see the file comment).
  ProviderBatch Run(std::string_view batch);

  std::unique_ptr<ProviderSession> session_;
  std::string connection_string_;
  int32_t cursor_location_ = adUseServer;
  int32_t command_timeout_ = 30;
  std::vector<ErrorRecord> errors_;
  std::vector<std::weak_ptr<Recordset>> attached_;
  PropertyCollection properties_;
};

// A process-wide hook that sees every batch before a connection runs it (the
// command line's --show-sql). Pass an empty function to remove it.
void SetExecuteObserver(std::function<void(std::string_view batch)> observer);

}  // namespace orv::platform
