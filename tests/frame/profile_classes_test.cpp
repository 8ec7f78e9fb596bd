// The display preference classes on a private copy of the tiny demo data: the
// exact batches, the rows read back, what a write replaces and what it leaves,
// the votes, and the error conventions of a failed read and a failed write.
// Hostile values written and read back: tests/hostile/profile_values_test.cpp.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "demo/demo_database.h"
#include "frame/profile_classes.h"
#include "platform/ado_errors.h"
#include "platform/automation_error.h"
#include "platform/object_context.h"
#include "tests/frame/frame_fixture.h"

namespace orv::frame {
namespace {

constexpr std::string_view kDatabase = "profile-test";
const std::string kSession =
    "ConnectString={Provider=Orvalent.Embedded;Data Source=profile-test};UserName=demo;UserID=1;Language=chs;";
// frame-test has no ICReportProfile.
const std::string kSessionWithoutTable =
    "ConnectString={Provider=Orvalent.Embedded;Data Source=frame-test};UserName=demo;UserID=1;Language=chs;";

using Rows = std::vector<std::pair<std::string, std::string>>;  // FPlan, FValue

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpFrameDatabase();
    platform::RegisterDatabaseFactory(kDatabase,
                                      [](engine::Session& session) { demo::LoadDemo(session, demo::Scale::Tiny); });
    platform::DropDatabaseInstance(kDatabase);  // each test starts from the tiny data
  }

  static Rows Read(int32_t report, int32_t user, const std::string& session = kSession) {
    CDataRead reader;
    const auto rows = reader.GetDisEnterProfile(session, report, user);
    Rows out;
    for (; !rows->Eof(); rows->MoveNext()) {
      out.emplace_back(rows->Collect("FPlan").ToString(), rows->Collect("FValue").ToString());
    }
    return out;
  }

  static bool Write(int32_t report, int32_t user, std::string_view value, const std::string& session = kSession) {
    CDataUpdate writer;
    return writer.SetDisEnterProfile(session, report, user, value);
  }

  // Every row of the table, as "report|user|key|plan|value|status", sorted.
  static std::multiset<std::string> Table() {
    platform::Connection connection;
    connection.Open("Provider=Orvalent.Embedded;Data Source=" + std::string(kDatabase));
    const auto rows = connection.Execute("SELECT FRptID, FUserID, FKey, FPlan, FValue, FStatus FROM ICReportProfile");
    std::multiset<std::string> out;
    for (; !rows->Eof(); rows->MoveNext()) {
      std::string row;
      for (int32_t i = 0; i < 6; ++i) row += (i ? "|" : "") + rows->Collect(i).ToString();
      out.insert(row);
    }
    return out;
  }
};

TEST_F(ProfileTest, BatchesAreExactlyTheStatementsTheServerGets) {
  EXPECT_EQ(ReadProfileSQL(2010001, -5),
            "Select FPlan,FValue From ICReportProfile Where FRptid= 2010001 and FUserID=-5 "
            "and FKey='FchkDisEnter'\r\n");
  EXPECT_EQ(WriteProfileSQL(2010006, 16394, "1"),
            "Delete From ICReportProfile Where FRptid= '2010006' and FUserID=16394 and FKey='FchkDisEnter' \r\n"
            "Insert Into ICReportProfile(FRptID,FUserID,FPlan,FKey,FValue,FStatus) \r\n"
            "Values('2010006',16394,'1','FchkDisEnter','1',1  ) \r\n");
  // Apostrophes doubled; an empty value is an empty literal.
  EXPECT_TRUE(WriteProfileSQL(-1, 0, "it's").ends_with("\r\nValues('-1',0,'it''s','FchkDisEnter','it''s',1  ) \r\n"));
  EXPECT_TRUE(WriteProfileSQL(1, 2, "").ends_with("\r\nValues('1',2,'','FchkDisEnter','',1  ) \r\n"));

  BatchRecorder recorder;
  Read(2010001, 1);
  Write(2010001, 1, "1");
  EXPECT_EQ(recorder.batches, (std::vector<std::string>{"SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED",
                                                        ReadProfileSQL(2010001, 1),
                                                        "SET TRANSACTION ISOLATION LEVEL READ COMMITTED",
                                                        WriteProfileSQL(2010001, 1, "1")}));
}

TEST_F(ProfileTest, ReadGivesTheStoredRowsDetached) {
  int32_t report = 2010001;
  int32_t user = 1;
  CDataRead reader;
  auto rows = reader.GetDisEnterProfile(kSession, report, user);
  EXPECT_EQ(rows->ActiveConnection(), nullptr);
  ASSERT_EQ(rows->Fields().Count(), 2);
  EXPECT_EQ(rows->Fields().Item(0).Name(), "FPlan");
  EXPECT_EQ(rows->Fields().Item(1).Name(), "FValue");
  EXPECT_EQ(report, 2010001);  // only read
  EXPECT_EQ(user, 1);
  // Only the FchkDisEnter row: the same user's FColumnOrder row is another key.
  EXPECT_EQ(Read(2010001, 1), (Rows{{"0", "0"}}));
  // The two rows an older client left for report 2010007 and user 3 both come back.
  EXPECT_EQ(Read(2010007, 3).size(), 2u);
  // Nothing stored: an empty record set with the two columns, not an error.
  CDataRead other;
  int32_t nobody = 99;
  rows = other.GetDisEnterProfile(kSession, report, nobody);
  EXPECT_EQ(rows->State(), platform::adStateOpen);
  EXPECT_TRUE(rows->Eof());
  EXPECT_EQ(rows->RecordCount(), 0);
  EXPECT_EQ(rows->Fields().Count(), 2);
}

TEST_F(ProfileTest, WriteReplacesOnlyThatReportAndUsersPreference) {
  const std::multiset<std::string> before = Table();
  EXPECT_FALSE(Write(2010007, 3, "1"));  // a completed write returns false
  EXPECT_FALSE(Write(2010007, 3, "0"));
  // Both old rows of report 2010007, user 3 gave way to one row with FStatus 1.
  std::multiset<std::string> expected = before;
  expected.erase("2010007|3|FchkDisEnter|0|0|1");
  expected.erase("2010007|3|FchkDisEnter|1|1|0");
  expected.insert("2010007|3|FchkDisEnter|0|0|1");
  EXPECT_EQ(Table(), expected);

  // A first preference for a new report and user adds a row; the other key stays.
  EXPECT_FALSE(Write(2010001, 1, ""));
  EXPECT_EQ(Read(2010001, 1), (Rows{{"", ""}}));
  EXPECT_EQ(Table().count("2010001|1|FColumnOrder|默认方案|FDate,FInvoiceNumber,FSupplyName|1"), 1u);
  EXPECT_FALSE(Write(-7, -2147483647 - 1, "x"));
  EXPECT_EQ(Read(-7, -2147483647 - 1), (Rows{{"x", "x"}}));
}

// The delete runs before the insert fails: the connection's transaction must
// bring the deleted rows back, and the connection stays usable afterwards.
TEST_F(ProfileTest, FailedWriteKeepsTheStoredPreference) {
  const std::multiset<std::string> before = Table();
  EXPECT_THROW(Write(2010007, 3, std::string(1001, 'x')), platform::AutomationError);
  EXPECT_EQ(Table(), before);
  EXPECT_EQ(Read(2010007, 3), (Rows{{"0", "0"}, {"1", "1"}}));
  EXPECT_FALSE(Write(2010007, 3, "1"));
  EXPECT_EQ(Read(2010007, 3), (Rows{{"1", "1"}}));
}

TEST_F(ProfileTest, WriteVotesCompleteOrAbortInTheHostsContext) {
  auto context = std::make_shared<platform::ObjectContext>();
  {
    platform::ObjectContextScope scope(context);
    Write(2010001, 2, "0");
  }
  EXPECT_TRUE(context->Done());
  EXPECT_TRUE(context->Consistent());

  context = std::make_shared<platform::ObjectContext>();
  {
    platform::ObjectContextScope scope(context);
    EXPECT_THROW(Write(2010001, 2, "0", kSessionWithoutTable), platform::AutomationError);
  }
  EXPECT_TRUE(context->Done());
  EXPECT_FALSE(context->Consistent());
}

TEST_F(ProfileTest, FailedReadKeepsItsNumberAndChainsTheSource) {
  try {
    Read(2010001, 1, kSessionWithoutTable);
    FAIL() << "reading a missing table must raise";
  } catch (const platform::AutomationError& error) {
    EXPECT_EQ(error.number(), platform::kHrNoSuchTable);
    EXPECT_EQ(error.source(), "Orvalent.CDataRead.GetDisEnterProfile\r\nOrvalent.Embedded");
    EXPECT_EQ(error.description(), "\r\nInvalid object name 'ICReportProfile'.");
  }
  // A session without a connection string fails in the parser, with its number.
  try {
    Read(2010001, 1, "Language=chs;");
    FAIL() << "a session without ConnectString must raise";
  } catch (const platform::AutomationError& error) {
    EXPECT_EQ(error.number(), platform::kErrInvalidProcedureCall);
    EXPECT_TRUE(error.source().starts_with("Orvalent.CDataRead.GetDisEnterProfile\r\n")) << error.source();
  }
}

TEST_F(ProfileTest, FailedWriteAlwaysRaisesTheComponentsNumber) {
  struct Case {
    std::string session;
    std::string value;
    std::string inner_source;
    std::string inner_description;
  };
  // A missing table (208), a value too long for NVARCHAR(1000) (8152), a session the parser refuses (457).
  for (const Case& c : {Case{kSessionWithoutTable, "1", "Orvalent.Embedded", "Invalid object name 'ICReportProfile'."},
                        Case{kSession, std::string(1001, 'x'), "Orvalent.Embedded",
                             "String or binary data would be truncated."},
                        Case{"A=1;a=2;", "1", "Orvalent",
                             "This key is already associated with an element of this collection"}}) {
    try {
      Write(2010001, 1, c.value, c.session);
      FAIL() << "the write must raise: " << c.inner_description;
    } catch (const platform::AutomationError& error) {
      EXPECT_EQ(error.number(), kErrProfileWrite);
      EXPECT_EQ(error.number(), -2147205052);
      EXPECT_EQ(error.source(), "Orvalent.CDataUpdate.SetDisEnterProfile\r\n" + c.inner_source);
      EXPECT_EQ(error.description(), "\r\n" + c.inner_description);
    }
  }
}

}  // namespace
}  // namespace orv::frame
