// Loads the demo database into an embedded engine session. Kept apart from the
// script builders so that these link without the engine.
#include "demo/demo_database.h"
#include "engine/engine.h"
#include "engine/parser/parser.h"

namespace orv::demo {

namespace {

// Runs every batch of `script`; the first error stops the load, reported at its
// line within the whole script rather than within its batch.
void RunScript(engine::Session& session, std::string_view script) {
  for (const engine::ScriptBatch& batch : engine::SplitScript(script)) {
    engine::BatchResult result = session.Execute(batch.text);
    if (result.first_error()) {
      const engine::SqlError& error = *result.first_error();
      const int line = error.line() > 0 ? batch.first_line + error.line() - 1 : batch.first_line;
      throw engine::SqlError(error.number(), error.severity(), error.state(), line, error.message());
    }
  }
}

}  // namespace

void LoadDemo(engine::Session& session, Scale scale) {
  RunScript(session, SchemaScript());
  RunScript(session, DataScript(scale));
}

}  // namespace orv::demo
