// Scripts split at GO lines only: not inside strings, quoted names or comments.
#include <gtest/gtest.h>

#include "engine/parser/parser.h"

namespace orv::engine::test {
namespace {

TEST(SplitScript, SplitsAtGoLinesAndKeepsStartLines) {
  const std::string script =
      "CREATE TABLE a (x INT)\r\n"
      "go\r\n"
      "  GO  \t\r\n"
      "CREATE VIEW v AS SELECT x FROM a\n"
      "GO\n"
      "INSERT a VALUES (1)\n"
      "GOTO x\n"
      "SELECT 'GO'";
  std::vector<ScriptBatch> batches = SplitScript(script);
  ASSERT_EQ(batches.size(), 3u);
  EXPECT_EQ(batches[0].text, "CREATE TABLE a (x INT)\r\n");
  EXPECT_EQ(batches[0].first_line, 1);
  EXPECT_EQ(batches[1].text, "CREATE VIEW v AS SELECT x FROM a\n");
  EXPECT_EQ(batches[1].first_line, 4);
  EXPECT_EQ(batches[2].text, "INSERT a VALUES (1)\nGOTO x\nSELECT 'GO'");
  EXPECT_EQ(batches[2].first_line, 6);
}

TEST(SplitScript, GoInsideStringsCommentsAndNamesIsText) {
  const std::string script =
      "SELECT 'line one\nGO\nline three'\n"  // a string across lines
      "/* a comment\nGO\n /* nested */ still comment\nGO\n*/\n"
      "SELECT [a\nGO\n] -- it's a comment with a quote\n"
      "GO\n"
      "SELECT 2";
  std::vector<ScriptBatch> batches = SplitScript(script);
  ASSERT_EQ(batches.size(), 2u);
  EXPECT_EQ(batches[1].text, "SELECT 2");
  EXPECT_EQ(batches[1].first_line, 13);
  EXPECT_EQ(ParseBatch(batches[0].text).statements.size(), 2u);
}

TEST(SplitScript, EmptyPiecesAreDropped) {
  EXPECT_TRUE(SplitScript("").empty());
  EXPECT_TRUE(SplitScript("GO\n  \nGO\n").empty());
  std::vector<ScriptBatch> batches = SplitScript("\nGO\nSELECT 1\nGO");
  ASSERT_EQ(batches.size(), 1u);
  EXPECT_EQ(batches[0].text, "SELECT 1\n");
  EXPECT_EQ(batches[0].first_line, 3);
}

}  // namespace
}  // namespace orv::engine::test
