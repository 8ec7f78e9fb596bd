// A batch of blanks is not sent, as the client sends none. A malformed GO
// line counts as a failed batch and drops it, so a script never runs a batch
// the author did not mean to run.
#include "cli/script_runner.h"

namespace orv::cli {

bool ScriptRunner::Line(std::string_view line) {
  const ScriptCommand command = builder_.AddLine(line);
  switch (command.kind) {
    case ScriptCommand::Kind::None:
      return true;
    case ScriptCommand::Kind::Go:
      return RunPending(command.repeat);
    case ScriptCommand::Kind::Quit:
      return false;
    case ScriptCommand::Kind::Reset:
      builder_.Reset();
      return true;
    case ScriptCommand::Kind::Invalid:
      builder_.Reset();
      runner_.PrintClientError(command.error);
      failed_ = true;
      return !stop_on_error_;
  }
  return true;
}

bool ScriptRunner::EndOfScript() { return RunPending(1); }

bool ScriptRunner::RunText(std::string_view text) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!Line(line)) return false;
  }
  return EndOfScript();
}

bool ScriptRunner::RunPending(int64_t repeat) {
  if (builder_.IsBlank()) {
    builder_.Reset();
    return true;
  }
  const bool ran = runner_.RunBatch(builder_.TakeBatch(), repeat, stop_on_error_);
  failed_ = failed_ || !ran;
  return ran || !stop_on_error_;
}

}  // namespace orv::cli
