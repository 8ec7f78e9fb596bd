// Tokens: kinds, values with quotes undone, lines across multi-line tokens.
#include <gtest/gtest.h>

#include "engine/parser/lexer.h"

namespace orv::engine::parse {
namespace {

struct Seen {
  TokenKind kind;
  std::string value;
  int line;
};

std::vector<Seen> Lex(std::string_view text) {
  std::vector<Seen> seen;
  for (const Token& t : Tokenize(text)) seen.push_back({t.kind, TokenValue(text, t), t.line});
  return seen;
}

TEST(Lexer, KindsValuesAndLines) {
  const std::string text =
      "SeLeCt [a]]b], \"q\"\"x\", N'中''文', 'x\ny', #t, ##g, @v, @@ERROR, 1, 1.5, .5, 5., 2E+3, 1e, <> != !< >= 数量 -- c\n"
      "/* multi\nline */ x";
  const std::vector<Seen> seen = Lex(text);
  const std::vector<std::pair<TokenKind, std::string>> expected = {
      {TokenKind::Word, "SeLeCt"},   {TokenKind::QuotedName, "a]b"}, {TokenKind::Operator, ","},
      {TokenKind::QuotedName, "q\"x"}, {TokenKind::Operator, ","},   {TokenKind::NString, "中'文"},
      {TokenKind::Operator, ","},    {TokenKind::String, "x\ny"},    {TokenKind::Operator, ","},
      {TokenKind::Word, "#t"},       {TokenKind::Operator, ","},     {TokenKind::Word, "##g"},
      {TokenKind::Operator, ","},    {TokenKind::Variable, "@v"},    {TokenKind::Operator, ","},
      {TokenKind::Variable, "@@ERROR"}, {TokenKind::Operator, ","},  {TokenKind::Integer, "1"},
      {TokenKind::Operator, ","},    {TokenKind::Decimal, "1.5"},    {TokenKind::Operator, ","},
      {TokenKind::Decimal, ".5"},    {TokenKind::Operator, ","},     {TokenKind::Decimal, "5."},
      {TokenKind::Operator, ","},    {TokenKind::Float, "2E+3"},     {TokenKind::Operator, ","},
      {TokenKind::Integer, "1"},     {TokenKind::Word, "e"},         {TokenKind::Operator, ","},
      {TokenKind::Operator, "<>"},   {TokenKind::Operator, "!="},    {TokenKind::Operator, "!<"},
      {TokenKind::Operator, ">="},   {TokenKind::Word, "数量"},      {TokenKind::Word, "x"},
      {TokenKind::End, ""},
  };
  ASSERT_EQ(seen.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].kind, expected[i].first);
    EXPECT_EQ(seen[i].value, expected[i].second);
  }
  EXPECT_EQ(seen[7].line, 1);   // the string starts on line 1
  EXPECT_EQ(seen[9].line, 2);   // #t follows it on line 2
  EXPECT_EQ(seen[35].line, 4);  // x after the two-line comment
}

TEST(Lexer, ReservedWordsAreMarked) {
  const std::string text = "select Rollup FROM [from] left";
  const std::vector<Token> tokens = Tokenize(text);
  EXPECT_TRUE(tokens[0].reserved);
  EXPECT_FALSE(tokens[1].reserved);
  EXPECT_TRUE(tokens[2].reserved);
  EXPECT_FALSE(tokens[3].reserved);
  EXPECT_TRUE(tokens[4].reserved);
}

}  // namespace
}  // namespace orv::engine::parse
