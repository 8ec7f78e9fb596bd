// Splits a script into batches at lines holding only GO, as the client tools
// do before anything reaches the server. A GO inside a string, a quoted name
// or a comment is text of the batch, so the scan follows those.
#include "engine/common/ascii.h"
#include "engine/parser/parser.h"

namespace orv::engine {
namespace {

// Blanks within a line, as the client tools see them around GO.
bool IsLineBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// True when [begin, end) is blanks, GO in any case, blanks.
bool IsGoLine(std::string_view line) {
  size_t b = 0;
  size_t e = line.size();
  while (b < e && IsLineBlank(line[b])) ++b;
  while (e > b && IsLineBlank(line[e - 1])) --e;
  return EqualsIgnoreCase(line.substr(b, e - b), "GO");
}

bool AllBlank(std::string_view text) {
  for (char c : text) {
    if (!IsLineBlank(c) && c != '\n') return false;
  }
  return true;
}

}  // namespace

std::vector<ScriptBatch> SplitScript(std::string_view script) {
  std::vector<ScriptBatch> batches;
  size_t piece_begin = 0;
  int piece_line = 1;
  int line = 1;
  char quote = 0;       // the closing character while inside '...', [...] or "..."
  int block_depth = 0;  // nesting of /* */ comments
  auto close_piece = [&](size_t end) {
    const std::string_view text = script.substr(piece_begin, end - piece_begin);
    if (!AllBlank(text)) batches.push_back({std::string(text), piece_line});
  };
  size_t i = 0;
  while (i < script.size()) {
    // At a line start outside strings and comments: is this a GO line?
    if (quote == 0 && block_depth == 0 && (i == 0 || script[i - 1] == '\n')) {
      size_t eol = script.find('\n', i);
      if (eol == std::string_view::npos) eol = script.size();
      if (IsGoLine(script.substr(i, eol - i))) {
        close_piece(i);
        i = eol < script.size() ? eol + 1 : eol;
        ++line;
        piece_begin = i;
        piece_line = line;
        continue;
      }
    }
    const char c = script[i];
    const char next = i + 1 < script.size() ? script[i + 1] : '\0';
    if (c == '\n') ++line;
    if (quote != 0) {
      if (c == quote) {
        if (next == quote) ++i;  // a doubled quote stays inside
        else quote = 0;
      }
    } else if (block_depth > 0) {
      if (c == '/' && next == '*') {
        ++block_depth;
        ++i;
      } else if (c == '*' && next == '/') {
        --block_depth;
        ++i;
      }
    } else if (c == '-' && next == '-') {
      const size_t eol = script.find('\n', i);
      i = eol == std::string_view::npos ? script.size() : eol;
      continue;
    } else if (c == '/' && next == '*') {
      block_depth = 1;
      ++i;
    } else if (c == '\'') {
      quote = '\'';
    } else if (c == '[') {
      quote = ']';
    } else if (c == '"') {
      quote = '"';
    }
    ++i;
  }
  close_piece(script.size());
  return batches;
}

}  // namespace orv::engine
