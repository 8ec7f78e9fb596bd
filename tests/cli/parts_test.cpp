// Parts of the command line checked without a process: where a script's
// batches end and how script bytes are decoded.
#include <gtest/gtest.h>

#include "cli/batch_builder.h"
#include "cli/script_text.h"

namespace orv::cli {
namespace {

using Kind = ScriptCommand::Kind;

// The batches of `script` as the builder cuts them (each GO's count after a "x").
std::vector<std::string> Batches(std::string_view script) {
  BatchBuilder builder;
  std::vector<std::string> batches;
  while (!script.empty()) {
    const size_t end = script.find('\n');
    const ScriptCommand command = builder.AddLine(script.substr(0, end));
    script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
    if (command.kind == Kind::Go) batches.push_back(builder.TakeBatch() + "x" + std::to_string(command.repeat));
  }
  batches.push_back(builder.TakeBatch());
  return batches;
}

TEST(BatchBuilder, AGoLineEndsABatchOnlyOutsideStringsNamesAndComments) {
  EXPECT_EQ(Batches("SELECT 1\n go \t\nSELECT 2\r\nGo 3\r\nSELECT 3"),
            (std::vector<std::string>{"SELECT 1\nx1", "SELECT 2\r\nx3", "SELECT 3\n"}));
  // Inside a string (with a doubled quote), a quoted name, a nested block
  // comment: text. After a line comment: a command again.
  EXPECT_EQ(Batches("SELECT 'it''s\nGO\n'\nSELECT [a\nGO\n]\n/* /* */\nGO\n*/ -- 'x\nGO"),
            (std::vector<std::string>{"SELECT 'it''s\nGO\n'\nSELECT [a\nGO\n]\n/* /* */\nGO\n*/ -- 'x\nx1", ""}));
  EXPECT_EQ(Batches("SELECT \"a\nGO\n\"\nGOTO done\nGO"),
            (std::vector<std::string>{"SELECT \"a\nGO\n\"\nGOTO done\nx1", ""}));
}

TEST(BatchBuilder, CommandsAndTheirMistakes) {
  BatchBuilder builder;
  EXPECT_EQ(builder.AddLine(" :QUIT ").kind, Kind::Quit);
  EXPECT_EQ(builder.AddLine("exit").kind, Kind::Quit);
  EXPECT_EQ(builder.AddLine("Reset").kind, Kind::Reset);
  EXPECT_EQ(builder.AddLine("exit(SELECT 1)").kind, Kind::None);  // not supported: left to the server
  EXPECT_EQ(builder.AddLine("GO 2147483647").repeat, 2147483647);
  for (const char* line : {"GO 0", "GO 2147483648", "GO +1", "GO 1 2", "go;"}) {
    EXPECT_EQ(builder.AddLine(line).kind, line == std::string("go;") ? Kind::None : Kind::Invalid) << line;
  }
  builder.Reset();
  EXPECT_TRUE(builder.IsBlank());
  builder.AddLine("  \t");
  EXPECT_TRUE(builder.IsBlank());
  EXPECT_EQ(builder.line_count(), 1u);
}

TEST(DecodeScript, RemovesMarksAndReadsUtf16) {
  EXPECT_EQ(DecodeScript("\xEF\xBB\xBFSELECT 1", "s"), "SELECT 1");
  EXPECT_EQ(DecodeScript(std::string("\xFF\xFEG\0O\0", 6), "s"), "GO");
  EXPECT_EQ(DecodeScript(std::string("\xFE\xFF\0G\0O", 6), "s"), "GO");
  EXPECT_EQ(DecodeScript(std::string("G\0O\0", 4), "s"), "GO");
  // A surrogate pair: U+20000 (𠀀) is D840 DC00.
  EXPECT_EQ(DecodeScript(std::string("\xFF\xFE\x40\xD8\x00\xDC", 6), "s"), "\xF0\xA0\x80\x80");
  EXPECT_EQ(DecodeScript("", "s"), "");
  EXPECT_THROW(DecodeScript(std::string("\xFF\xFE\x00\xDC", 4), "s"), std::runtime_error);
}

}  // namespace
}  // namespace orv::cli
