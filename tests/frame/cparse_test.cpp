// The session parser at the edges of the session-string format: braces,
// blanks, missing "=" or ";", empty pairs, duplicate and missing names, and
// hostile input (invalid UTF-8, NUL bytes, very long values, many braces).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frame/cparse.h"
#include "platform/automation_error.h"

namespace orv::frame {
namespace {

int ErrorNumberOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const platform::AutomationError& error) {
    return error.number();
  }
  return 0;
}

TEST(CParseTest, BracedValueKeepsSemicolonsAndTrailingSemicolonEndsCleanly) {
  CParse parser;
  EXPECT_TRUE(parser.ParseString("ConnectString={X=1;Y=2};Language=chs;"));
  EXPECT_EQ(parser.ConStr(), "X=1;Y=2");
  EXPECT_EQ(parser.LanguageID(), "chs");
  EXPECT_EQ(parser.PropsString(), "ConnectString={X=1;Y=2};Language=chs;");
}

TEST(CParseTest, LastPairNeedsNoSemicolon) {
  CParse parser;
  parser.ParseString("A=1;B=2");
  EXPECT_EQ(parser.GetProperty("A"), "1");
  EXPECT_EQ(parser.GetProperty("B"), "2");
}

TEST(CParseTest, OnlySpacesAreTrimmedAroundNamesAndValues) {
  CParse parser;
  parser.ParseString("  User Name  =  Zhang San  ;Tab=\tx\t;B={  in side  }  ;");
  EXPECT_EQ(parser.GetProperty("User Name"), "Zhang San");
  EXPECT_EQ(parser.GetProperty("Tab"), "\tx\t");
  EXPECT_EQ(parser.GetProperty("B"), "in side");
}

TEST(CParseTest, PairWithoutEqualsTakesTheRestAsName) {
  CParse parser;
  parser.ParseString("A=1;Flag;");
  EXPECT_EQ(parser.GetProperty("Flag;"), "");
  EXPECT_EQ(ErrorNumberOf([&] { parser.GetProperty("Flag"); }), platform::kErrInvalidProcedureCall);
}

TEST(CParseTest, EmptyPairShiftsTheNextName) {
  CParse parser;
  parser.ParseString("A=1;;B=2");
  EXPECT_EQ(parser.GetProperty("A"), "1");
  EXPECT_EQ(parser.GetProperty(";B"), "2");
  EXPECT_EQ(ErrorNumberOf([&] { parser.GetProperty("B"); }), platform::kErrInvalidProcedureCall);
}

TEST(CParseTest, BracedValueEndsAtFirstClosingBraceAndSkipsToSemicolon) {
  CParse parser;
  parser.ParseString("A={x}y};B=2;C={unclosed");
  EXPECT_EQ(parser.GetProperty("A"), "x");
  EXPECT_EQ(parser.GetProperty("B"), "2");
  EXPECT_EQ(parser.GetProperty("C"), "unclosed");
}

TEST(CParseTest, ValueWithEqualsSignIsKeptWhole) {
  CParse parser;
  parser.ParseString("A=x=y;B=2;");
  EXPECT_EQ(parser.GetProperty("A"), "x=y");
}

TEST(CParseTest, LeadingEqualsGivesEmptyTable) {
  CParse parser;
  parser.ParseString("=1;A=2;");
  EXPECT_EQ(ErrorNumberOf([&] { parser.GetProperty("A"); }), platform::kErrInvalidProcedureCall);
}

TEST(CParseTest, ParsingStopsAtFirstEmptyNameAndLosesItsValue) {
  CParse parser;
  parser.ParseString("A=1; =lost;B=2;");
  EXPECT_EQ(parser.GetProperty("A"), "1");
  EXPECT_EQ(ErrorNumberOf([&] { parser.GetProperty("B"); }), platform::kErrInvalidProcedureCall);
}

TEST(CParseTest, NamesIgnoreLetterCase) {
  CParse parser;
  parser.ParseString("Language=chs;connectstring={a;b};ÄRGER=1;");
  EXPECT_EQ(parser.LanguageID(), "chs");
  EXPECT_EQ(parser.GetProperty("LANGUAGE"), "chs");
  EXPECT_EQ(parser.ConStr(), "a;b");
  EXPECT_EQ(parser.GetProperty("ärger"), "1");
}

TEST(CParseTest, DuplicateNameRaises457AndKeepsPairsReadSoFar) {
  CParse parser;
  EXPECT_EQ(ErrorNumberOf([&] { parser.ParseString("X=0;A=1;a=2;C=3;"); }), platform::kErrDuplicateKey);
  EXPECT_EQ(parser.GetProperty("X"), "0");
  EXPECT_EQ(parser.GetProperty("A"), "1");
  EXPECT_EQ(ErrorNumberOf([&] { parser.GetProperty("C"); }), platform::kErrInvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([&] { parser.ParseString("A=1;A=1;"); }), platform::kErrDuplicateKey);
}

TEST(CParseTest, SecondParseReplacesTheTable) {
  CParse parser;
  parser.ParseString("A=1;");
  parser.ParseString("B=2;");
  EXPECT_EQ(parser.GetProperty("B"), "2");
  EXPECT_EQ(ErrorNumberOf([&] { parser.GetProperty("A"); }), platform::kErrInvalidProcedureCall);
  EXPECT_EQ(parser.PropsString(), "B=2;");
}

TEST(CParseTest, MissingPropertyRaises5ThroughEveryAccessor) {
  CParse parser;
  parser.ParseString("");
  for (const auto& accessor : std::vector<std::function<void()>>{
           [&] { parser.ConStr(); }, [&] { parser.ConDBMSName(); }, [&] { parser.ConDBMSVersion(); },
           [&] { parser.LanguageID(); }, [&] { parser.UserName(); }, [&] { parser.UserID(); },
           [&] { parser.IsIndustry(); }}) {
    EXPECT_EQ(ErrorNumberOf(accessor), platform::kErrInvalidProcedureCall);
  }
}

TEST(CParseTest, UserIdIsA16BitNumber) {
  CParse parser;
  parser.ParseString("UserID=16394;");
  EXPECT_EQ(parser.UserID(), 16394);
  parser.ParseString("UserID=-32768;");
  EXPECT_EQ(parser.UserID(), -32768);
  parser.ParseString("UserID=32768;");
  EXPECT_EQ(ErrorNumberOf([&] { parser.UserID(); }), platform::kErrOverflow);
  parser.ParseString("UserID=abc;");
  EXPECT_EQ(ErrorNumberOf([&] { parser.UserID(); }), platform::kErrTypeMismatch);
}

TEST(CParseTest, IndustryAccountSetIsGyInAnyCase) {
  CParse parser;
  parser.ParseString("AcctType=gy;");
  EXPECT_TRUE(parser.IsIndustry());
  parser.ParseString("AcctType=GYX;");
  EXPECT_FALSE(parser.IsIndustry());
  parser.ParseString("AcctType=SY;DBMS Name=Microsoft SQL Server;DBMS Version=08.00.2039;UserName=demo");
  EXPECT_FALSE(parser.IsIndustry());
  EXPECT_EQ(parser.ConDBMSName(), "Microsoft SQL Server");
  EXPECT_EQ(parser.ConDBMSVersion(), "08.00.2039");
  EXPECT_EQ(parser.UserName(), "demo");
}

TEST(CParseTest, ArbitraryBytesAreAcceptedAsTheyAre) {
  CParse parser;
  const std::string odd_name("N\xff\0x", 4);
  const std::string odd_value("v\xc3\0\xe4\xb8", 5);
  parser.ParseString(odd_name + "=" + odd_value + ";");
  EXPECT_EQ(parser.GetProperty(odd_name), odd_value);
  // Invalid bytes do not fold: the name with another raw byte is a different name.
  EXPECT_EQ(ErrorNumberOf([&] { parser.GetProperty(std::string("N\xfe\0x", 4)); }),
            platform::kErrInvalidProcedureCall);
}

TEST(CParseTest, LongValuesAndManyBracesAndPairs) {
  CParse parser;
  const std::string long_value(1 << 20, 'v');
  const std::string braces(100000, '{');
  std::string many;
  for (int i = 0; i < 50000; ++i) many += "K" + std::to_string(i) + "=" + std::to_string(i) + ";";
  parser.ParseString("Big=" + long_value + ";Deep=" + braces + "x" + std::string(100000, '}') + ";" + many);
  EXPECT_EQ(parser.GetProperty("Big"), long_value);
  EXPECT_EQ(parser.GetProperty("Deep"), std::string(99999, '{') + "x");
  EXPECT_EQ(parser.GetProperty("k49999"), "49999");
}

// A 1 MB session string of a hundred thousand properties: each name is looked
// up in a hash, never compared with all the earlier ones.
TEST(CParseTest, AHundredThousandPropertiesParseAndEachIsFound) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "Key" + std::to_string(i) + "=" + std::to_string(i * 7) + ";";
  CParse parser;
  EXPECT_TRUE(parser.ParseString(text));
  EXPECT_EQ(parser.GetProperty("KEY99999"), "699993");
  EXPECT_EQ(parser.GetProperty("key0"), "0");
  // A repeat at the very end is still found (the duplicate-key error).
  EXPECT_NE(ErrorNumberOf([&] { parser.ParseString(text + "key5=1;"); }), 0);
}

}  // namespace
}  // namespace orv::frame
