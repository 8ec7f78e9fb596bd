// Runs batches on one engine session and prints what each sends back, result
// sets, messages and errors, in the order the engine produced them. Errors go
// to the error stream in the server's style; the output stream is flushed
// first, so both read in order on one terminal.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "cli/result_writer.h"
#include "engine/engine.h"

namespace orv::cli {

class SqlRunner {
 public:
  // `writer` may be null: the results are then not printed (errors still are).
  SqlRunner(engine::Session& session, ResultWriter* writer, std::ostream* out, std::ostream& err)
      : session_(session), writer_(writer), out_(out), err_(err) {}

  // Runs `batch` `repeat` times, or until a run fails when `stop_on_error`.
  // Returns false when any statement failed.
  bool RunBatch(const std::string& batch, int64_t repeat, bool stop_on_error);

  // Prints a failure of the client itself ("Incorrect syntax ... GO").
  void PrintClientError(const std::string& message);

 private:
  bool RunOnce(const std::string& batch);
  void Flush();

  engine::Session& session_;
  ResultWriter* writer_;
  std::ostream* out_;
  std::ostream& err_;
};

}  // namespace orv::cli
