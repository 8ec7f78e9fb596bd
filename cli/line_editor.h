// Reads lines from a terminal with line editing and history (libedit). The
// history is kept across runs in a file when one is given.
#pragma once

#include <string>

struct editline;
struct history;

namespace orv::cli {

class LineEditor {
 public:
  enum class Status { Line, EndOfInput, Interrupted };

  // `history_file` may be empty: no history is loaded or saved.
  LineEditor(const char* program_name, std::string history_file);
  ~LineEditor();
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // Shows `prompt` and reads one line into `line`, without its line end.
  // Interrupted when Ctrl-C was pressed (an InterruptHandler must be
  // installed); the line typed so far is dropped.
  Status ReadLine(const std::string& prompt, std::string& line);

 private:
  static char* Prompt(editline* editor);

  editline* editor_;
  history* history_;
  std::string history_file_;
  std::string prompt_;
};

// Makes the C library read and write UTF-8 characters on the terminal, which
// line editing needs for wide characters: the environment's locale when it
// is UTF-8, else C.UTF-8.
void UseUtf8Terminal();

}  // namespace orv::cli
