// A batch's engine result as tokens: result sets with their DONE, a DONE for
// each row count, INFO for other messages and ERROR with the engine's number,
// severity, state and line, each at its place in the batch.
#pragma once

#include <string>

#include "engine/engine.h"
#include "tds/response_stream.h"

namespace orv::tds {

struct BatchContext {
  std::string server_name;
  // DONE in a batch, DONEINPROC inside a procedure call.
  uint8_t statement_done = kTokenDone;
};

// Writes everything but the final DONE. Stops early when the client cancels.
void WriteBatchResult(ResponseStream& stream, const BatchContext& context, const engine::BatchResult& result);

// An error as the client receives it.
void WriteError(ResponseStream& stream, const BatchContext& context, int number, int severity, int state, int line,
                const std::string& text);

}  // namespace orv::tds
