// The "Orvalent.Embedded" provider: connection strings
// "Provider=Orvalent.Embedded;Data Source=<name>" open a session on the
// process-wide embedded database instance <name>, created on first use and
// filled once by the loader registered for that name, or kept in the
// database file <name> when it is a path.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"

namespace orv::platform {

inline constexpr std::string_view kEmbeddedProviderName = "Orvalent.Embedded";

// Fills a fresh database instance through a session on it; registered for one
// instance name (letter case ignored), which it replaces if already registered.
using DatabaseLoader = std::function<void(engine::Session& session)>;
void RegisterDatabaseFactory(std::string_view name, DatabaseLoader loader);

// "Data Source=<path>": a name with a '/' or a '.' that no loader is
// registered for is a database file, opened (never created) on first use.
bool IsDatabaseFilePath(std::string_view name);
// The database file at `path`; raises 0x80004005 with the engine's message
// (no such file unless `create`, damaged, locked by another process).
std::shared_ptr<engine::Database> OpenDatabaseFile(std::string_view path, bool create = false);

// The instance named `name`, created and loaded on first use. A loader that
// throws leaves no instance behind and raises 0x80004005 with its message.
std::shared_ptr<engine::Database> GetDatabaseInstance(std::string_view name);

// The name that asks for a new, empty database of one's own.
inline constexpr std::string_view kMemoryDatabaseName = ":memory:";
// What a connection string or the command line names: ":memory:" is a fresh
// empty database; another name must be an instance already open, one a
// loader is registered for or a database file path (see IsDatabaseFilePath),
// else error 4060 naming the databases there are.
std::shared_ptr<engine::Database> OpenNamedDatabase(std::string_view name);
// The names OpenNamedDatabase knows, sorted: registered loaders and open instances.
std::vector<std::string> KnownDatabaseNames();
// Forgets the instance; sessions already open keep it alive until they close.
void DropDatabaseInstance(std::string_view name);

// Registers the provider with the connection layer (RegisterPlatformClasses does it).
void RegisterEmbeddedProvider();

}  // namespace orv::platform
