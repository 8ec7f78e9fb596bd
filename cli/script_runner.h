// Feeds the lines of a script, or of the interactive shell, through a batch
// builder into a SqlRunner: runs each batch at its GO, obeys QUIT, EXIT and
// RESET, and remembers whether anything failed.
#pragma once

#include <string_view>

#include "cli/batch_builder.h"
#include "cli/sql_runner.h"

namespace orv::cli {

class ScriptRunner {
 public:
  ScriptRunner(SqlRunner& runner, bool stop_on_error) : runner_(runner), stop_on_error_(stop_on_error) {}

  // One line without its line end. False when the run ends here: QUIT or
  // EXIT, or a failure when stopping on errors.
  bool Line(std::string_view line);
  // The end of a script: runs the batch still pending, as a last GO would.
  bool EndOfScript();
  // Every line of `text`, then EndOfScript.
  bool RunText(std::string_view text);
  // Drops the pending batch (Ctrl-C at the prompt).
  void DropPending() { builder_.Reset(); }

  size_t pending_lines() const { return builder_.line_count(); }
  bool failed() const { return failed_; }

 private:
  bool RunPending(int64_t repeat);

  BatchBuilder builder_;
  SqlRunner& runner_;
  bool stop_on_error_;
  bool failed_ = false;
};

}  // namespace orv::cli
