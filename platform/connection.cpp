// The connection: opening a provider session, running batches and turning a
// batch's error into the raised error and the Errors collection.
#include "platform/connection.h"

#include <algorithm>
#include <charconv>
#include <mutex>

#include "platform/ado_errors.h"
#include "platform/ascii_text.h"
#include "platform/automation_error.h"
#include "platform/recordset.h"

namespace orv::platform {
namespace {

constexpr const char* kSource = "Orvalent.Connection";
// The provider's error for a batch it stopped before the end.
constexpr int kCanceledError = 3617;
// Execute's option that asks for no record set back.
constexpr int32_t adExecuteNoRecords = 0x80;

struct Observer {
  std::mutex mutex;
  std::function<void(std::string_view)> function;
};

Observer& GetObserver() {
  static Observer* observer = new Observer();
  return *observer;
}

void Notify(std::string_view batch) {
  Observer& observer = GetObserver();
  std::function<void(std::string_view)> function;
  {
    std::lock_guard lock(observer.mutex);
    function = observer.function;
  }
  if (function) function(batch);
}

// The count of the first "(N rows affected)" message, or -1.
int32_t RecordsAffected(const std::vector<std::string>& messages) {
  for (const std::string& message : messages) {
    if (message.size() < 2 || message[0] != '(') continue;
    int32_t count = 0;
    const auto [end, error] = std::from_chars(message.data() + 1, message.data() + message.size(), count);
    if (error == std::errc() && std::string_view(end, message.data() + message.size()).starts_with(" row")) {
      return count;
    }
  }
  return -1;
}

}  // namespace

Connection::Connection()
    : properties_([this] { return session_ ? session_->Properties() : std::vector<ProviderProperty>(); }) {}
Connection::~Connection() = default;

void Connection::Open(std::string_view connection_string, std::string_view, std::string_view, int32_t) {
  if (session_) RaiseAdoError(AdoError::kObjectOpen, kSource);
  session_ = OpenProviderSession(ParseConnectionString(connection_string));
  connection_string_ = std::string(connection_string);
  errors_.clear();
  properties_.Refresh();
}

void Connection::Close() {
  if (!session_) RaiseAdoError(AdoError::kObjectClosed, kSource);
  // The record sets closed below may hold the last reference to this connection.
  const std::shared_ptr<Connection> keep_alive = weak_from_this().lock();
  for (const std::weak_ptr<Recordset>& weak : attached_) {
    if (const std::shared_ptr<Recordset> recordset = weak.lock()) recordset->CloseFromConnection();
  }
  attached_.clear();
  session_.reset();
  properties_.Clear();
}

void Connection::SetCursorLocation(int32_t location) {
  if (location != adUseServer && location != adUseClient) RaiseAdoError(AdoError::kInvalidArgument, kSource);
  cursor_location_ = location;
}

void Connection::SetCommandTimeout(int32_t seconds) {
  if (seconds < 0) RaiseAdoError(AdoError::kInvalidArgument, kSource);
  command_timeout_ = seconds;
}

std::shared_ptr<Recordset> Connection::Execute(std::string_view command_text, int32_t options,
                                               int32_t* records_affected) {
  if (!session_) RaiseAdoError(AdoError::kConnectionClosed, kSource);
  if (TrimBlanks(command_text).empty()) {
    throw AutomationError(kHrNoCommand, kSource, "Command text was not set for the command object.");
  }
  Notify(command_text);
  ProviderBatch batch = Run(command_text);
  if (records_affected) *records_affected = RecordsAffected(batch.messages);
  if (options != -1 && (options & adExecuteNoRecords) != 0) return nullptr;
  if (batch.row_sets.empty()) return std::make_shared<Recordset>();
  std::deque<std::shared_ptr<const RowSource>> rest(std::make_move_iterator(batch.row_sets.begin() + 1),
                                                    std::make_move_iterator(batch.row_sets.end()));
  auto recordset = std::make_shared<Recordset>(std::move(batch.row_sets.front()), std::move(rest), weak_from_this().lock());
  Attach(recordset);
  return recordset;
}

void Connection::BeginTrans() { Run("BEGIN TRANSACTION"); }
void Connection::CommitTrans() { Run("COMMIT TRANSACTION"); }
void Connection::RollbackTrans() { Run("ROLLBACK TRANSACTION"); }

ProviderBatch Connection::Run(std::string_view text) {
  if (!session_) RaiseAdoError(AdoError::kConnectionClosed, kSource);
  errors_.clear();
  session_->SetCommandTimeout(command_timeout_);
  ProviderBatch batch = session_->Execute(text);
  if (batch.error) {
    // Whatever row sets came before the error, the caller sees the failure.
    const ProviderError& error = *batch.error;
    if (error.native_number == kCanceledError && command_timeout_ > 0) {
      // Nothing but the time-out cancels a batch of a connection.
      errors_.push_back(ErrorRecord{kHrQueryTimeout, 0, "HYT00", "Query timeout expired", error.source, 0});
      throw AutomationError(kHrQueryTimeout, error.source, "Query timeout expired");
    }
    const NativeErrorMapping mapping = MapNativeError(error.native_number, error.severity);
    errors_.push_back(ErrorRecord{mapping.hresult, error.native_number, std::string(mapping.sql_state),
                                  error.message, error.source, error.line});
    throw AutomationError(mapping.hresult, error.source, error.message);
  }
  return batch;
}

void Connection::Attach(const std::shared_ptr<Recordset>& recordset) {
  std::erase_if(attached_, [](const std::weak_ptr<Recordset>& weak) { return weak.expired(); });
  attached_.push_back(recordset);
}

void Connection::Detach(const Recordset* recordset) {
  std::erase_if(attached_, [recordset](const std::weak_ptr<Recordset>& weak) {
    const std::shared_ptr<Recordset> locked = weak.lock();
    return !locked || locked.get() == recordset;
  });
}

void SetExecuteObserver(std::function<void(std::string_view batch)> observer) {
  Observer& holder = GetObserver();
  std::lock_guard lock(holder.mutex);
  holder.function = std::move(observer);
}

}  // namespace orv::platform
