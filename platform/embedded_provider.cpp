// The embedded provider: the process's named database instances, the loaders
// that fill them, and sessions that run batches on the embedded engine.
#include "platform/embedded_provider.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <mutex>

#include "platform/ado_errors.h"
#include "platform/ascii_text.h"
#include "platform/automation_error.h"
#include "platform/embedded_properties.h"
#include "platform/engine_row_source.h"
#include "platform/provider.h"

namespace orv::platform {
namespace {

const std::string kSource(kEmbeddedProviderName);
constexpr std::string_view kMemoryLimitKey = "memory limit mb";

struct Instance {
  std::mutex mutex;  // held while the instance is loaded, so a second opener waits
  std::shared_ptr<engine::Database> database;
};

struct Databases {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<Instance>> instances;  // by InstanceKey
  std::map<std::string, DatabaseLoader> loaders;  // lower-case names
};

Databases& GetDatabases() {
  static Databases* databases = new Databases();  // never destroyed: sessions may close late
  return *databases;
}

// The loader registered for exactly `name`. Exact names only: a prefix match
// would let every distinct name load and keep another full copy of the data.
DatabaseLoader FindLoader(Databases& databases, const std::string& name) {
  std::lock_guard lock(databases.mutex);
  auto found = databases.loaders.find(name);
  return found == databases.loaders.end() ? DatabaseLoader() : found->second;
}

// Database names compare without regard to case, as a server's do; a database
// file is keyed by its full path, because the file system tells case apart and
// "a.odb" and "./a.odb" are one file.
std::string InstanceKey(Databases& databases, std::string_view name) {
  std::string lower = AsciiLower(name);
  if (!IsDatabaseFilePath(name) || FindLoader(databases, lower)) return lower;
  std::error_code error;
  const std::filesystem::path path = std::filesystem::weakly_canonical(std::filesystem::path(name), error);
  return error ? std::string(name) : path.string();
}

[[noreturn]] void RaiseLoadFailure(std::string_view name, std::string_view why) {
  throw AutomationError(kHrFail, kSource,
                        "Cannot open database \"" + std::string(name) + "\": " + std::string(why));
}

ProviderError ToProviderError(const engine::SqlError& error) {
  return ProviderError{error.number(), error.severity(), error.state(), error.line(), error.message(), kSource};
}

class EmbeddedSession : public ProviderSession {
 public:
  EmbeddedSession(std::string data_source, std::shared_ptr<engine::Database> database)
      : data_source_(std::move(data_source)), session_(std::move(database)) {}

  std::vector<ProviderProperty> Properties() const override { return EmbeddedDataSourceProperties(data_source_); }

  void SetCommandTimeout(int32_t seconds) override { session_.set_timeout(std::chrono::seconds(seconds)); }

  // "Memory Limit MB=n" caps each batch of the session at n MB (0: no cap).
  void SetMemoryLimit(const std::string& megabytes) {
    if (megabytes.empty()) return;
    size_t value = 0;
    const auto [end, error] = std::from_chars(megabytes.data(), megabytes.data() + megabytes.size(), value);
    if (error != std::errc() || end != megabytes.data() + megabytes.size() || value > (SIZE_MAX >> 20)) {
      throw AutomationError(kHrFail, kSource, "The connection string's Memory Limit MB is not a number of megabytes.");
    }
    session_.set_memory_limit(value << 20);
  }

  ProviderBatch Execute(std::string_view batch) override {
    ProviderBatch out;
    engine::BatchResult result;
    try {
      result = session_.Execute(batch);
    } catch (const engine::SqlError& error) {
      out.error = ToProviderError(error);
      return out;
    } catch (const std::exception& error) {
      // Never let a failure pass as success: report it as the engine's internal error.
      out.error = ProviderError{50002, 16, 1, 0, std::string("Internal error in the embedded engine: ") + error.what(),
                                kSource};
      return out;
    }
    for (engine::ResultSet& rows : result.result_sets) {
      out.row_sets.push_back(std::make_shared<EngineRowSource>(std::move(rows)));
    }
    out.messages = std::move(result.messages);
    if (const engine::SqlError* error = result.first_error()) out.error = ToProviderError(*error);
    return out;
  }

 private:
  std::string data_source_;
  engine::Session session_;
};

}  // namespace

void RegisterDatabaseFactory(std::string_view name, DatabaseLoader loader) {
  Databases& databases = GetDatabases();
  std::lock_guard lock(databases.mutex);
  databases.loaders[AsciiLower(name)] = std::move(loader);
}

bool IsDatabaseFilePath(std::string_view name) {
  return name.find('/') != std::string_view::npos || name.find('.') != std::string_view::npos;
}

std::shared_ptr<engine::Database> OpenDatabaseFile(std::string_view path, bool create) {
  try {
    return engine::Database::Open(std::string(path), {.create = create});
  } catch (const engine::SqlError& error) {
    throw AutomationError(kHrFail, kSource, error.message());
  }
}

std::shared_ptr<engine::Database> GetDatabaseInstance(std::string_view name) {
  if (name.empty()) {
    throw AutomationError(kHrFail, kSource, "The connection string names no database (Data Source=...).");
  }
  Databases& databases = GetDatabases();
  const std::string key = InstanceKey(databases, name);
  std::shared_ptr<Instance> instance;
  {
    std::lock_guard lock(databases.mutex);
    std::shared_ptr<Instance>& slot = databases.instances[key];
    if (!slot) slot = std::make_shared<Instance>();
    instance = slot;
  }
  std::lock_guard lock(instance->mutex);
  if (instance->database) return instance->database;
  const DatabaseLoader loader = FindLoader(databases, AsciiLower(name));
  if (!loader && IsDatabaseFilePath(name)) {
    instance->database = OpenDatabaseFile(name);
    return instance->database;
  }
  auto database = std::make_shared<engine::Database>(std::string(name));
  if (loader) {
    // A loader that fails leaves the slot empty, so the next opener tries again.
    try {
      engine::Session session(database);
      loader(session);
    } catch (const engine::SqlError& error) {
      RaiseLoadFailure(name, error.message());
    } catch (const AutomationError&) {
      throw;
    } catch (const std::exception& error) {
      RaiseLoadFailure(name, error.what());
    }
  }
  instance->database = database;
  return database;
}

std::vector<std::string> KnownDatabaseNames() {
  Databases& databases = GetDatabases();
  std::lock_guard lock(databases.mutex);
  std::vector<std::string> names;
  for (const auto& [name, loader] : databases.loaders) names.push_back(name);
  for (const auto& [name, instance] : databases.instances) {
    if (!databases.loaders.contains(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::shared_ptr<engine::Database> OpenNamedDatabase(std::string_view name) {
  if (name == kMemoryDatabaseName) return std::make_shared<engine::Database>(std::string(name));
  const std::string key = AsciiLower(name);
  bool known = false;
  {
    Databases& databases = GetDatabases();
    std::lock_guard lock(databases.mutex);
    known = databases.loaders.contains(key) || databases.instances.contains(key);
  }
  if (!known && !name.empty() && !IsDatabaseFilePath(name)) {
    // A misspelt name fails as a server's would, instead of making an empty
    // database that lives as long as the process.
    std::string names;
    for (const std::string& known_name : KnownDatabaseNames()) names += known_name + ", ";
    throw AutomationError(kHrFail, kSource,
                          "Cannot open database \"" + std::string(name) +
                              "\" requested by the login. The login failed. The databases are: " + names +
                              std::string(kMemoryDatabaseName) + ".");
  }
  return GetDatabaseInstance(name);
}

void DropDatabaseInstance(std::string_view name) {
  Databases& databases = GetDatabases();
  const std::string key = InstanceKey(databases, name);
  std::lock_guard lock(databases.mutex);
  databases.instances.erase(key);
}

void RegisterEmbeddedProvider() {
  RegisterProvider(kEmbeddedProviderName, [](const ConnectionProperties& properties) {
    const std::string name = properties.Get({"data source", "database", "initial catalog", "server"});
    auto session = std::make_unique<EmbeddedSession>(name, OpenNamedDatabase(name));
    session->SetMemoryLimit(properties.Get({kMemoryLimitKey}));
    return std::unique_ptr<ProviderSession>(std::move(session));
  });
}

}  // namespace orv::platform
