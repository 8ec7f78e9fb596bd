// The light session-string reader where it differs from the session parser,
// and the shape of the temporary-table names.
#include <gtest/gtest.h>

#include <ctime>
#include <set>
#include <string>

#include "platform/ado_errors.h"
#include "platform/automation_error.h"
#include "platform/recordset.h"
#include "tests/frame/frame_fixture.h"
#include "toolkit/property_lookup.h"

namespace orv::toolkit {
namespace {

TEST(GetPropertyValueTest, NameInAnyCaseAndNoTrailingSemicolonNeeded) {
  EXPECT_EQ(GetPropertyValue("A=1;Language=chs", "language"), "chs");
  EXPECT_EQ(GetPropertyValue("A=1;LANGUAGE=cht;", "Language"), "cht");
}

TEST(GetPropertyValueTest, MissingOrEmptyGivesEmptyText) {
  EXPECT_EQ(GetPropertyValue("A=1;", "B"), "");
  EXPECT_EQ(GetPropertyValue("Language=;X=1", "Language"), "");
  EXPECT_EQ(GetPropertyValue("", "Language"), "");
  EXPECT_EQ(GetPropertyValue("Language", "Language"), "");
}

TEST(GetPropertyValueTest, ValueIsReturnedUntouched) {
  EXPECT_EQ(GetPropertyValue("ConnectString=a=b=c;X=1", "ConnectString"), "a=b=c");
  EXPECT_EQ(GetPropertyValue("Language= chs ;", "Language"), " chs ");
  // No braces: a braced value is cut at its first ";" and keeps its "{".
  EXPECT_EQ(GetPropertyValue("ConnectString={X=1;Y=2};", "ConnectString"), "{X=1");
}

TEST(GetPropertyValueTest, PlainSubstringMatchUnlikeTheParser) {
  // The tail of a longer name matches when it comes first.
  EXPECT_EQ(GetPropertyValue("XLanguage=eng;Language=chs;", "Language"), "eng");
  // A blank before "=" hides the property.
  EXPECT_EQ(GetPropertyValue("Language =chs;", "Language"), "");
  // Duplicates are no error: the first one wins.
  EXPECT_EQ(GetPropertyValue("Language=chs;language=cht;", "LANGUAGE"), "chs");
}

TEST(GetPropertyValueTest, LongHostileTextsAreSearchedWithoutBlowingUp) {
  const std::string dsn = std::string(1 << 20, 'a') + "=tail;";
  EXPECT_EQ(GetPropertyValue(dsn, "b" + std::string(1 << 19, 'a')), "");
  EXPECT_EQ(GetPropertyValue(dsn, std::string(1 << 19, 'A')), "tail");
  EXPECT_EQ(GetPropertyValue(dsn, std::string((1 << 20) - 1, 'A')), "tail");
}

TEST(GetPropertyValueTest, NameHoldingSemicolonFindsNothingAfterIt) {
  EXPECT_EQ(GetPropertyValue("A;B=1;", "A;B"), "");
}

TEST(GetPropertyValueTest, CaseFoldingBeyondAscii) {
  EXPECT_EQ(GetPropertyValue("ÄRGER=1;", "ärger"), "1");
  // KELVIN SIGN folds to "k" although it is three bytes long: the value after it is whole.
  EXPECT_EQ(GetPropertyValue("\xe2\x84\xaa=abc;", "k"), "abc");
  EXPECT_EQ(GetPropertyValue(std::string("\xff\0A=1;", 5), std::string("\0a", 2)), "1");
  // A partial match that fails part-way must not hide a match starting inside it.
  EXPECT_EQ(GetPropertyValue("ababac=1;", "ABAC"), "1");
  EXPECT_EQ(GetPropertyValue("xÄÄb=2;", "äB"), "2");
}

std::string LocalTimeDigits(std::time_t seconds) {
  std::tm local{};
  localtime_r(&seconds, &local);
  return std::to_string(local.tm_mon + 1) + std::to_string(local.tm_mday) + std::to_string(local.tm_hour) +
         std::to_string(local.tm_min) + std::to_string(local.tm_sec);
}

TEST(GetTempTableNameTest, PrefixThenUnpaddedTimeThenRandomTailBelowTenToTheEighth) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    const std::time_t before = std::time(nullptr);
    const std::string name = GetTempTableName("#Rpt2010001");
    if (std::time(nullptr) != before) continue;  // crossed a second: the time part is ambiguous
    const std::string head = "#Rpt2010001" + LocalTimeDigits(before);
    ASSERT_EQ(name.rfind(head, 0), 0u) << name << " vs " << head;
    const std::string tail = name.substr(head.size());
    // Plain decimal below 10^8: no zero padding.
    EXPECT_TRUE(!tail.empty() && tail.size() <= 8 && (tail == "0" || tail[0] != '0') &&
                tail.find_first_not_of("0123456789") == std::string::npos)
        << tail;
    return;
  }
  FAIL() << "the clock kept crossing seconds";
}

TEST(GetTempTableNameTest, BlankPrefixBecomesTmpTableOtherPrefixStaysUntrimmed) {
  EXPECT_EQ(GetTempTableName("").rfind("#tmpTable", 0), 0u);
  EXPECT_EQ(GetTempTableName("   ").rfind("#tmpTable", 0), 0u);
  EXPECT_EQ(GetTempTableName(" #T ").rfind(" #T ", 0), 0u);
  // A tab is not a blank here.
  EXPECT_EQ(GetTempTableName("\t").rfind("\t", 0), 0u);
}

TEST(GetTempTableNameTest, CallsInOneSecondDifferInTheRandomTail) {
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) names.insert(GetTempTableName("#T"));
  EXPECT_GT(names.size(), 15u);
}

TEST(RecordsetToDictionaryTest, CopiesTheCurrentRowInFieldOrderWithoutMoving) {
  frame::SetUpFrameDatabase();
  platform::Connection connection;
  connection.Open("Provider=Orvalent.Embedded;Data Source=frame-test");
  const auto rows = connection.Execute("SELECT FID, FName, FQty FROM t_Frame WHERE FID >= 2 ORDER BY FID", -1);
  rows->MoveNext();
  const auto row = RecordsetToDictionary(*rows);
  ASSERT_EQ(row->Count(), 3u);
  EXPECT_EQ(row->entries()[0].first, "FID");
  EXPECT_EQ(row->entries()[1].first, "FName");
  EXPECT_EQ(row->entries()[2].first, "FQty");
  EXPECT_EQ(row->Item("FID").ToLong(), 3);
  EXPECT_EQ(row->Item("FName").ToString(), "O'Brien");
  EXPECT_EQ(row->Item("FQty").ToDouble(), 0.0);
  EXPECT_EQ(rows->AbsolutePosition(), 2);
  // Past the last row there is no current row: the record set's error reaches the caller.
  rows->MoveNext();
  try {
    RecordsetToDictionary(*rows);
    FAIL() << "no current row must raise";
  } catch (const platform::AutomationError& error) {
    EXPECT_EQ(error.number(), platform::AdoHresult(platform::AdoError::kNoCurrentRecord));
  }
}

}  // namespace
}  // namespace orv::toolkit
