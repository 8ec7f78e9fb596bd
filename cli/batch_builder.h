// Collects a script line by line into batches, as the server's command-line
// client does: a line holding only GO (optionally with a repeat count) ends
// the batch; [:]QUIT and [:]EXIT end the script without running the pending
// batch; [:]RESET drops it. Such a line is a command only where it begins
// outside a string, a quoted name and a block comment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orv::cli {

struct ScriptCommand {
  enum class Kind { None, Go, Quit, Reset, Invalid };
  Kind kind = Kind::None;
  int64_t repeat = 1;  // Go: how many times the batch runs
  std::string error;   // Invalid: what is wrong with the line
};

class BatchBuilder {
 public:
  // Takes one line without its line end; returns the command it is, or None
  // when it was added to the pending batch.
  ScriptCommand AddLine(std::string_view line);

  // True while the pending batch holds nothing but blanks.
  bool IsBlank() const;
  // Lines in the pending batch (the interactive prompt numbers the next one).
  size_t line_count() const { return lines_; }
  // Hands the pending batch over and starts a new one.
  std::string TakeBatch();
  // Drops the pending batch.
  void Reset();

 private:
  void Scan(std::string_view line);

  std::string batch_;
  size_t lines_ = 0;
  char quote_ = 0;      // the closing character while inside '...', [...] or "..."
  int block_depth_ = 0;  // nesting of /* */ comments
};

}  // namespace orv::cli
