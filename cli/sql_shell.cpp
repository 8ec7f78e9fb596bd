// The history lives in ~/.orvalent_history. End of input leaves without
// running the pending batch, as QUIT does.
#include "cli/sql_shell.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/interrupt.h"
#include "cli/line_editor.h"

namespace orv::cli {
namespace {

std::string HistoryFile() {
  const char* home = std::getenv("HOME");
  return home == nullptr || *home == '\0' ? std::string() : std::string(home) + "/.orvalent_history";
}

}  // namespace

void RunInteractive(ScriptRunner& script) {
  UseUtf8Terminal();
  const InterruptHandler interrupts;
  LineEditor editor("orvalent", HistoryFile());
  std::string line;
  for (;;) {
    const std::string prompt = std::to_string(script.pending_lines() + 1) + "> ";
    const LineEditor::Status status = editor.ReadLine(prompt, line);
    if (status == LineEditor::Status::EndOfInput) {
      std::fputs("\n", stdout);  // the next prompt of the user's shell starts on a line of its own
      break;
    }
    if (status == LineEditor::Status::Interrupted) {
      script.DropPending();
      continue;
    }
    if (!script.Line(line)) break;
  }
}

}  // namespace orv::cli
