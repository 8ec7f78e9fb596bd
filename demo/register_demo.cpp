// Makes the demo databases openable by name through the embedded provider:
// "Data Source=demo-tiny" (or demo-small, demo-large) loads that scale into a
// fresh instance on first use. The generated scales are kept in a cache file
// after they are first built, and read from it afterwards (a change to the
// generator changes the file's stamp); the copy read is held in memory, so
// what a process writes to a demo database still ends with the process.
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "demo/demo_database.h"
#include "engine/catalog/database_file.h"
#include "engine/engine.h"
#include "platform/embedded_provider.h"

namespace orv::demo {
namespace {

namespace fs = std::filesystem;

// ORVALENT_CACHE_DIR, else the user's cache folder; empty when there is none.
fs::path CacheFolder() {
  if (const char* dir = std::getenv("ORVALENT_CACHE_DIR"); dir && *dir) return dir;
  if (const char* dir = std::getenv("XDG_CACHE_HOME"); dir && *dir) return fs::path(dir) / "orvalent";
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".cache" / "orvalent";
  return {};
}

std::string CachePrefix(Scale scale) { return "demo-" + std::string(ScaleName(scale)) + "-"; }

// Removes the copies an older generator left.
void RemoveStaleCopies(const fs::path& folder, Scale scale, const fs::path& current) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(CachePrefix(scale)) && entry.path() != current) fs::remove(entry.path(), error);
  }
}

void LoadCachedDemo(engine::Session& session, Scale scale) {
  const fs::path folder = CacheFolder();
  if (folder.empty()) {
    LoadDemo(session, scale);
    return;
  }
  const fs::path copy = folder / (CachePrefix(scale) + ORV_DEMO_STAMP + ".odb");
  std::error_code error;
  if (fs::exists(copy, error)) {
    try {
      engine::LoadDatabaseCopy(copy.string(), session.database().catalog());
      return;
    } catch (const engine::SqlError&) {
      // Damaged or of another format: built again below and written over.
    }
  }
  LoadDemo(session, scale);
  // A cache that cannot be written costs only time.
  if (!fs::create_directories(folder, error) && error) return;
  try {
    engine::SaveDatabaseCopy(session.database().catalog(), copy.string());
    RemoveStaleCopies(folder, scale, copy);
  } catch (const engine::SqlError&) {
  }
}

}  // namespace

void RegisterDemoDatabases() {
  platform::RegisterDatabaseFactory("demo-tiny", [](engine::Session& session) { LoadDemo(session, Scale::Tiny); });
  for (Scale scale : {Scale::Small, Scale::Large}) {
    platform::RegisterDatabaseFactory("demo-" + std::string(ScaleName(scale)),
                                      [scale](engine::Session& session) { LoadCachedDemo(session, scale); });
  }
}

}  // namespace orv::demo
