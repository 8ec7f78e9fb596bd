// The contract between the ADO-like connection and a data provider: a provider
// opens a session from the connection string's properties and runs one batch
// at a time, giving back the row sets of the batch in order and its first
// error, and tells the properties of its data source. Providers register by
// name ("Orvalent.Embedded", ...).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/connection_string.h"
#include "platform/row_source.h"
#include "platform/variant.h"

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

// One property of the data source, under its ADO name.
struct ProviderProperty {
  std::string name;
  Variant value;
};

class ProviderSession {
 public:
  virtual ~ProviderSession() = default;
  virtual ProviderBatch Execute(std::string_view batch) = 0;
  // The connection's command time-out, in seconds (0: none), for the batches
  // that follow. A batch past it ends with error 3617, which the connection
  // reports as a time-out. Providers that cannot stop a batch ignore it.
  virtual void SetCommandTimeout(int32_t /*seconds*/) {}

  // The data source's properties as they stand now; the connection asks again
  // on each refresh. A provider names only what it knows: a name it leaves out
  // is absent to the caller, not false. The names callers read, and the type
  // each answer has whichever provider gives it:
  //   "DBMS Name", "DBMS Version"  text; the version as "##.##.####"
  //   "Multiple Results"           Long: 0 none, 1 one batch gives several row sets, 2 also at once
  //   "Like Escape Clause"         "Y" when LIKE takes an ESCAPE character, else "N"
  //   "Integrity Enhancement Facility"  Boolean: primary, foreign key and CHECK constraints enforced
  //   "Numeric Functions", "String Functions", "System Functions", "Time/Date Functions"
  //                                Long masks of the ODBC scalar functions offered (SQL_FN_NUM_*,
  //                                SQL_FN_STR_*, SQL_FN_SYS_*, SQL_FN_TD_*), under their own names
  //                                or the dialect's counterparts
  virtual std::vector<ProviderProperty> Properties() const { return {}; }
};

// Opens a session; throws AutomationError when the data source cannot be reached.
using ProviderFactory = std::function<std::unique_ptr<ProviderSession>(const ConnectionProperties&)>;

// Names compare without regard to case; registering a name again replaces it.
void RegisterProvider(std::string_view name, ProviderFactory factory);
// Opens a session with the provider the properties name; 3706 when none is registered.
std::unique_ptr<ProviderSession> OpenProviderSession(const ConnectionProperties& properties);

}  // namespace orv::platform
