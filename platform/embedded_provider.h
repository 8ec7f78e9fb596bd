// The "Orvalent.Embedded" provider: connection strings
// "Provider=Orvalent.Embedded;Data Source=<name>" open a session on the
// process-wide embedded database instance <name>, created on first use and
// filled once by the loader registered for that name (or a prefix of it).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/engine.h"

namespace orv::platform {

inline constexpr std::string_view kEmbeddedProviderName = "Orvalent.Embedded";

// Fills a fresh database instance through a session on it. `name_or_prefix`
// matches an instance name exactly or, failing that, as its longest registered
// prefix (so "demo-" can serve "demo-tiny" and "demo-small"; the loader reads
// the instance name from session.database().name()). Names ignore case.
using DatabaseLoader = std::function<void(engine::Session& session)>;
void RegisterDatabaseFactory(std::string_view name_or_prefix, DatabaseLoader loader);

// The instance named `name`, created and loaded on first use. A loader that
// throws leaves no instance behind and raises 0x80004005 with its message.
std::shared_ptr<engine::Database> GetDatabaseInstance(std::string_view name);
// Forgets the instance; sessions already open keep it alive until they close.
void DropDatabaseInstance(std::string_view name);

// Registers the provider with the connection layer (RegisterPlatformClasses does it).
void RegisterEmbeddedProvider();

}  // namespace orv::platform
