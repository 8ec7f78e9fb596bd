// What the capability cache tests share: session strings whose product and
// version name a group no other test uses (the cache lives as long as the
// process), and database instances loaded with the tiny demo data.
#pragma once

#include <atomic>
#include <string>

#include "demo/demo_database.h"
#include "engine/engine.h"
#include "platform/embedded_provider.h"
#include "tests/frame/frame_fixture.h"

namespace orv::frame {

struct CacheSession {
  std::string sDsn;
  std::string group_prefix;  // product name and version: the groups' names less their last word
};

// A session on `database` through `provider` whose cache groups are new to this process.
inline CacheSession FreshCacheSession(const std::string& database, const std::string& provider = "Orvalent.Embedded") {
  static std::atomic<int> next{0};
  const std::string version = "cache-" + std::to_string(++next);
  return {"ConnectString={Provider=" + provider + ";Data Source=" + database +
              "};DBMS Name=Orvalent Embedded;DBMS Version=" + version + ";Language=chs;",
          "Orvalent Embedded" + version};
}

// Registers `database` as a fresh copy of the tiny demo data followed by `extra` SQL.
inline void RegisterTinyCopy(const std::string& database, const std::string& extra = "") {
  SetUpFrameDatabase();
  platform::RegisterDatabaseFactory(database, [extra](engine::Session& session) {
    demo::LoadDemo(session, demo::Scale::Tiny);
    if (extra.empty()) return;
    const engine::BatchResult result = session.Execute(extra);
    if (result.first_error()) throw *result.first_error();
  });
  platform::DropDatabaseInstance(database);
}

}  // namespace orv::frame
