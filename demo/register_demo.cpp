// Makes the demo databases openable by name through the embedded provider:
// "Data Source=demo-tiny" (or demo-small, demo-large) loads that scale into a
// fresh instance on first use.
#include "demo/demo_database.h"
#include "engine/engine.h"
#include "platform/embedded_provider.h"

namespace orv::demo {

void RegisterDemoDatabases() {
  for (Scale scale : {Scale::Tiny, Scale::Small, Scale::Large}) {
    platform::RegisterDatabaseFactory("demo-" + std::string(ScaleName(scale)),
                                      [scale](engine::Session& session) { LoadDemo(session, scale); });
  }
}

}  // namespace orv::demo
