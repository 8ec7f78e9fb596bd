// libedit reads through our own character function, which decodes UTF-8
// itself and gives up on EINTR: the default one retries an interrupted read,
// so Ctrl-C would not reach the shell until the next key.
#include "cli/line_editor.h"

#include <histedit.h>
#include <langinfo.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "cli/interrupt.h"

namespace orv::cli {
namespace {

constexpr int kHistorySize = 1000;
constexpr wchar_t kReplacement = 0xFFFD;

// 1 for a byte, 0 at the end of input, -1 on an error or an interrupt.
int ReadByte(unsigned char& byte) {
  const ssize_t n = read(STDIN_FILENO, &byte, 1);
  return n == 1 ? 1 : n == 0 ? 0 : -1;
}

int ReadCharacter(EditLine*, wchar_t* character) {
  unsigned char byte = 0;
  *character = 0;
  if (const int read = ReadByte(byte); read != 1) return read;
  if (byte < 0x80) {
    *character = byte;
    return 1;
  }
  const int continuation = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
  if (continuation == 0 || byte >= 0xF8) {
    *character = kReplacement;
    return 1;
  }
  auto code_point = static_cast<wchar_t>(byte & (0x3F >> continuation));
  for (int i = 0; i < continuation; ++i) {
    if (const int read = ReadByte(byte); read != 1) return read;
    if ((byte & 0xC0) != 0x80) {
      *character = kReplacement;
      return 1;
    }
    code_point = static_cast<wchar_t>(code_point << 6 | (byte & 0x3F));
  }
  *character = code_point;
  return 1;
}

}  // namespace

void UseUtf8Terminal() {
  std::setlocale(LC_CTYPE, "");
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

LineEditor::LineEditor(const char* program_name, std::string history_file)
    : editor_(el_init(program_name, stdin, stdout, stderr)),
      history_(history_init()),
      history_file_(std::move(history_file)) {
  HistEvent event;
  history(history_, &event, H_SETSIZE, kHistorySize);
  history(history_, &event, H_SETUNIQUE, 1);
  if (!history_file_.empty()) history(history_, &event, H_LOAD, history_file_.c_str());
  el_set(editor_, EL_CLIENTDATA, this);
  el_set(editor_, EL_PROMPT, &LineEditor::Prompt);
  el_set(editor_, EL_EDITOR, "emacs");
  el_set(editor_, EL_HIST, history, history_);
  el_set(editor_, EL_GETCFN, ReadCharacter);
  el_source(editor_, nullptr);  // the user's ~/.editrc, if any
}

LineEditor::~LineEditor() {
  HistEvent event;
  if (!history_file_.empty()) history(history_, &event, H_SAVE, history_file_.c_str());
  history_end(history_);
  el_end(editor_);
}

char* LineEditor::Prompt(EditLine* editor) {
  void* self = nullptr;
  el_get(editor, EL_CLIENTDATA, &self);
  return static_cast<LineEditor*>(self)->prompt_.data();
}

LineEditor::Status LineEditor::ReadLine(const std::string& prompt, std::string& line) {
  prompt_ = prompt;
  int count = 0;
  const char* text = el_gets(editor_, &count);
  if (TakeInterrupt()) {
    el_reset(editor_);
    std::fputs("\n", stdout);
    return Status::Interrupted;
  }
  if (text == nullptr || count <= 0) return Status::EndOfInput;
  line.assign(text, static_cast<size_t>(count));
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (line.find_first_not_of(" \t") != std::string::npos) {
    HistEvent event;
    history(history_, &event, H_ENTER, line.c_str());
  }
  return Status::Line;
}

}  // namespace orv::cli
