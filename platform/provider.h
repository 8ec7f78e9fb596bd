// The contract between the ADO-like connection and a data provider: a provider
// opens a session from the connection string's properties and runs one batch
// at a time, giving back the row sets of the batch in order and its first
// error. Providers register by name ("Orvalent.Embedded", ...).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/connection_string.h"
#include "platform/row_source.h"

namespace orv::platform {

struct ProviderError {
  int native_number = 0;
  int severity = 16;
  int state = 1;
  int line = 0;
  std::string message;
  std::string source;  // the provider's name, the source of the raised error
};

struct ProviderBatch {
  std::vector<std::shared_ptr<const RowSource>> row_sets;
  std::vector<std::string> messages;  // informational texts, "(3 rows affected)"
  std::optional<ProviderError> error;  // the batch's first error, the one the connection raises
};

class ProviderSession {
 public:
  virtual ~ProviderSession() = default;
  virtual ProviderBatch Execute(std::string_view batch) = 0;
};

// Opens a session; throws AutomationError when the data source cannot be reached.
using ProviderFactory = std::function<std::unique_ptr<ProviderSession>(const ConnectionProperties&)>;

// Names compare without regard to case; registering a name again replaces it.
void RegisterProvider(std::string_view name, ProviderFactory factory);
// Opens a session with the provider the properties name; 3706 when none is registered.
std::unique_ptr<ProviderSession> OpenProviderSession(const ConnectionProperties& properties);

}  // namespace orv::platform
