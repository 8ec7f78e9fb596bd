// The data source: a new, set-up connection on every read, the isolation
// statement each kind runs, and the session values it passes on.
#include <gtest/gtest.h>

#include <memory>

#include "frame/cdatasource.h"
#include "platform/ado_errors.h"
#include "platform/automation_error.h"
#include "platform/recordset.h"
#include "tests/frame/frame_fixture.h"

namespace orv::frame {
namespace {

class CDataSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpFrameDatabase();
    parser_ = std::make_shared<CParse>();
    parser_->ParseString(kFrameSession);
    source_.SetParser(parser_);
  }

  std::shared_ptr<CParse> parser_;
  CDataSource source_;
};

TEST_F(CDataSourceTest, EachReadOpensAnotherConnectionSetUpForReports) {
  BatchRecorder recorder;
  const auto first = source_.UnCommittedConnection();
  const auto second = source_.UnCommittedConnection();
  ASSERT_NE(first, second);
  for (const auto& connection : {first, second}) {
    EXPECT_EQ(connection->State(), platform::adStateOpen);
    EXPECT_EQ(connection->CursorLocation(), platform::adUseClient);
    EXPECT_EQ(connection->CommandTimeout(), 0);
    EXPECT_EQ(connection->ConnectionString(), "Provider=Orvalent.Embedded;Data Source=frame-test");
  }
  EXPECT_EQ(recorder.batches, (std::vector<std::string>{"SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED",
                                                        "SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED"}));
  // The connections are the taker's: they work on their own and see the same database.
  const auto rows = first->Execute("SELECT COUNT(*) FROM t_Frame", -1);
  EXPECT_EQ(rows->Collect(0).ToLong(), 3);
}

TEST_F(CDataSourceTest, WritingConnectionReadsCommitted) {
  BatchRecorder recorder;
  const auto connection = source_.Connection();
  EXPECT_EQ(connection->State(), platform::adStateOpen);
  EXPECT_EQ(recorder.batches, std::vector<std::string>{"SET TRANSACTION ISOLATION LEVEL READ COMMITTED"});
}

TEST_F(CDataSourceTest, SessionValuesComeFromTheParser) {
  EXPECT_EQ(source_.ConnectString(), "Provider=Orvalent.Embedded;Data Source=frame-test");
  EXPECT_EQ(source_.DBMSName(), "Microsoft SQL Server");
  EXPECT_EQ(source_.Parser(), parser_);
}

TEST_F(CDataSourceTest, FailuresReachTheCallerUnchanged) {
  parser_->ParseString("Language=chs;");
  try {
    source_.UnCommittedConnection();
    FAIL() << "a session without ConnectString must fail";
  } catch (const platform::AutomationError& error) {
    EXPECT_EQ(error.number(), platform::kErrInvalidProcedureCall);
  }
  parser_->ParseString("ConnectString={Provider=NoSuch.Provider;Data Source=x};");
  try {
    source_.Connection();
    FAIL() << "an unknown provider must fail";
  } catch (const platform::AutomationError& error) {
    EXPECT_EQ(error.number(), platform::AdoHresult(platform::AdoError::kProviderNotFound));
  }
  CDataSource without_parser;
  try {
    without_parser.ConnectString();
    FAIL() << "a data source without a parser must fail";
  } catch (const platform::AutomationError& error) {
    EXPECT_EQ(error.number(), 91);
  }
}

}  // namespace
}  // namespace orv::frame
