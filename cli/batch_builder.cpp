// Commands are matched without regard to case, with blanks around them.
// "GO n" repeats the batch n times (1 to 2147483647); any other text after GO
// makes the line an invalid command rather than SQL, as the client has it.
#include "cli/batch_builder.h"

#include <charconv>
#include <limits>

#include "platform/ascii_text.h"

namespace orv::cli {
namespace {

bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlankChar(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);
  return text;
}

// A command word, with or without the leading colon.
bool IsCommand(std::string_view line, std::string_view word) {
  if (!line.empty() && line.front() == ':') line.remove_prefix(1);
  return platform::EqualsIgnoreCase(line, word);
}

ScriptCommand ParseGo(std::string_view line) {
  std::string_view count = Trim(line.substr(2));
  if (count.empty()) return {ScriptCommand::Kind::Go, 1, ""};
  int64_t repeat = 0;
  const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), repeat);
  if (error != std::errc() || end != count.data() + count.size() || repeat < 1 ||
      repeat > std::numeric_limits<int32_t>::max()) {
    return {ScriptCommand::Kind::Invalid, 1,
            "Incorrect syntax was encountered while parsing GO: '" + std::string(line) +
                "' (the count must be a whole number from 1 to 2147483647)."};
  }
  return {ScriptCommand::Kind::Go, repeat, ""};
}

ScriptCommand ParseCommand(std::string_view line) {
  line = Trim(line);
  const bool go = line.size() >= 2 && platform::EqualsIgnoreCase(line.substr(0, 2), "go");
  if (go && (line.size() == 2 || IsBlankChar(line[2]))) {
    return ParseGo(line);
  }
  if (IsCommand(line, "quit") || IsCommand(line, "exit")) return {ScriptCommand::Kind::Quit, 1, ""};
  if (IsCommand(line, "reset")) return {ScriptCommand::Kind::Reset, 1, ""};
  return {};
}

}  // namespace

ScriptCommand BatchBuilder::AddLine(std::string_view line) {
  if (quote_ == 0 && block_depth_ == 0) {
    ScriptCommand command = ParseCommand(line);
    if (command.kind != ScriptCommand::Kind::None) return command;
  }
  batch_.append(line);
  batch_ += '\n';
  ++lines_;
  Scan(line);
  return {};
}

bool BatchBuilder::IsBlank() const {
  for (const char c : batch_) {
    if (!IsBlankChar(c) && c != '\n') return false;
  }
  return true;
}

std::string BatchBuilder::TakeBatch() {
  std::string batch = std::move(batch_);
  Reset();
  return batch;
}

void BatchBuilder::Reset() {
  batch_.clear();
  lines_ = 0;
  quote_ = 0;
  block_depth_ = 0;
}

// Follows strings, quoted names and comments to the end of the line, so the
// next line knows whether it starts inside one.
void BatchBuilder::Scan(std::string_view line) {
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    const char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if (quote_ != 0) {
      if (c == quote_) {
        if (next == quote_) ++i;  // a doubled quote stays inside
        else quote_ = 0;
      }
    } else if (block_depth_ > 0) {
      if (c == '/' && next == '*') {
        ++block_depth_;
        ++i;
      } else if (c == '*' && next == '/') {
        --block_depth_;
        ++i;
      }
    } else if (c == '-' && next == '-') {
      return;  // a line comment runs to the end of the line
    } else if (c == '/' && next == '*') {
      block_depth_ = 1;
      ++i;
    } else if (c == '\'' || c == '"') {
      quote_ = c;
    } else if (c == '[') {
      quote_ = ']';
    }
  }
}

}  // namespace orv::cli
