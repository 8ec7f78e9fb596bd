// The report frame end to end on the embedded database: the batch runs on a
// READ UNCOMMITTED connection, the record set comes back detached and outlives
// the report object, errors reach the caller with the report's source, and the
// teardown closes only what is open.
#include <gtest/gtest.h>

#include <memory>

#include "frame/report_frame.h"
#include "platform/ado_errors.h"
#include "platform/automation_error.h"
#include "reports/rpt2010001/crpt2010001.h"
#include "toolkit/str_sql_report.h"
#include "tests/frame/frame_fixture.h"

namespace orv::frame {
namespace {

// A report whose GetstrSQL runs one given batch and detaches its record set.
class BatchReport : public toolkit::StrSqlReport {
 public:
  explicit BatchReport(std::string batch)
      : StrSqlReport("CRPT9999999", [batch = std::move(batch), this](platform::Connection& connection,
                                                                      const CParse& parser, const std::string& language,
                                                                      const platform::ConditionDictionary*) {
          seen_language = language;
          seen_user = parser.UserName();
          auto rows = connection.Execute(batch, -1);
          rows->SetActiveConnection(nullptr);
          return rows;
        }) {}

  std::string seen_language;
  std::string seen_user;
};

template <typename Call>
platform::AutomationError CaughtError(Call&& call) {
  try {
    call();
  } catch (const platform::AutomationError& error) {
    return error;
  }
  ADD_FAILURE() << "no error raised";
  return platform::AutomationError(0, "", "");
}

class ReportFrameTest : public ::testing::Test {
 protected:
  void SetUp() override { SetUpFrameDatabase(); }
};

TEST_F(ReportFrameTest, RunsOnADirtyReadConnectionAndHandsBackDetachedRows) {
  BatchRecorder recorder;
  auto report = std::make_unique<BatchReport>("SELECT FID, FName, FQty * 2 AS FTwice FROM t_Frame ORDER BY FID DESC");
  const auto rows = report->GetRptData(kFrameSession + "XLanguage=x;", nullptr);
  EXPECT_EQ(recorder.batches.front(), "SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED");
  EXPECT_EQ(report->seen_language, "chs");
  EXPECT_EQ(report->seen_user, "demo");
  EXPECT_EQ(rows->ActiveConnection(), nullptr);
  // The connection stays open in the object until it goes.
  const auto connection = report->ActiveConnection();
  EXPECT_EQ(connection->State(), platform::adStateOpen);
  report.reset();
  EXPECT_EQ(connection->State(), platform::adStateClosed);

  ASSERT_EQ(rows->RecordCount(), 3);
  EXPECT_EQ(rows->Collect("FID").ToLong(), 3);
  EXPECT_EQ(rows->Collect("FName").ToString(), "O'Brien");
  EXPECT_EQ(rows->Collect("FTwice").ToDouble(), 0.0);
  rows->MoveNext();
  EXPECT_TRUE(rows->Collect("FName").IsNull());
  EXPECT_EQ(rows->Collect("FTwice").ToDouble(), -2.0);
  rows->MoveNext();
  EXPECT_EQ(rows->Collect("FName").ToString(), "资产");
  EXPECT_EQ(rows->Collect("FTwice").ToDouble(), 5.0);
}

TEST_F(ReportFrameTest, AFailingStatementReachesTheCallerWithTheReportsSource) {
  BatchReport report("SELECT FID FROM t_Frame\r\nSELECT * FROM t_Missing");
  const auto error = CaughtError([&] { report.GetRptData(kFrameSession, nullptr); });
  EXPECT_EQ(error.number(), platform::kHrNoSuchTable);
  EXPECT_EQ(error.source(), "Orvalent.CRPT9999999.GetRptData");
  EXPECT_EQ(error.description(), "Invalid object name 't_Missing'.");
  // The members survive the failed call.
  EXPECT_EQ(report.ActiveConnection()->State(), platform::adStateOpen);
}

TEST_F(ReportFrameTest, SessionErrorsAreTrappedToo) {
  BatchReport report("SELECT 1");
  auto error = CaughtError([&] { report.GetRptData("Language=chs;", nullptr); });
  EXPECT_EQ(error.number(), platform::kErrInvalidProcedureCall);
  EXPECT_EQ(error.source(), "Orvalent.CRPT9999999.GetRptData");
  error = CaughtError([&] { report.GetRptData(kFrameSession + "language=en;", nullptr); });
  EXPECT_EQ(error.number(), platform::kErrDuplicateKey);
  EXPECT_EQ(error.source(), "Orvalent.CRPT9999999.GetRptData");
}

TEST_F(ReportFrameTest, ASecondCallReplacesTheConnectionWithoutClosingTheFirst) {
  BatchReport report("SELECT FID FROM t_Frame");
  report.GetRptData(kFrameSession, nullptr);
  const auto first = report.ActiveConnection();
  report.GetRptData(kFrameSession, nullptr);
  EXPECT_NE(report.ActiveConnection(), first);
  EXPECT_EQ(first->State(), platform::adStateOpen);  // released, not closed
  EXPECT_EQ(first.use_count(), 1);
}

TEST_F(ReportFrameTest, TeardownOfAnUnusedObjectDoesNothing) {
  BatchReport report("SELECT 1");
  EXPECT_NO_THROW(report.Terminate());
  EXPECT_EQ(report.ActiveConnection(), nullptr);
}

TEST_F(ReportFrameTest, TeardownDoesNotCloseAClosedConnectionAgain) {
  BatchReport report("SELECT 1 AS FOne");
  report.GetRptData(kFrameSession, nullptr);
  const auto connection = report.ActiveConnection();
  connection->Close();
  EXPECT_NO_THROW(report.Terminate());
  EXPECT_EQ(report.ActiveConnection(), nullptr);
  EXPECT_NO_THROW(report.Terminate());
}

TEST_F(ReportFrameTest, TemporaryTablesLiveOnTheReportsConnectionOnly) {
  BatchReport report("CREATE TABLE #AA_Frame (FID INT)\r\nINSERT INTO #AA_Frame SELECT FID FROM t_Frame\r\n"
                     "SELECT COUNT(*) AS FCount FROM #AA_Frame");
  EXPECT_EQ(report.GetRptData(kFrameSession, nullptr)->Collect("FCount").ToLong(), 3);
  // A second call runs on a new connection, where the table does not exist yet.
  EXPECT_EQ(report.GetRptData(kFrameSession, nullptr)->Collect("FCount").ToLong(), 3);
}

TEST_F(ReportFrameTest, PurchaseInvoiceReportRunsItsBatchAndTrapsTheDatabasesError) {
  // frame-test lacks the ERP tables: the batch reaches the server and fails there.
  BatchRecorder recorder;
  reports::CRPT2010001 report;
  platform::ConditionDictionary dct;
  const auto error = CaughtError([&] { report.GetRptData(kFrameSession, &dct); });
  EXPECT_EQ(error.number(), platform::kHrNoSuchTable);
  EXPECT_EQ(error.source(), "Orvalent.CRPT2010001.GetRptData");
  EXPECT_EQ(error.description().rfind("Invalid object name '", 0), 0u) << error.description();
  ASSERT_EQ(recorder.batches.size(), 2u);
  EXPECT_EQ(recorder.batches[1].find("#Rpt2010001"), recorder.batches[1].find('#')) << recorder.batches[1];
}

}  // namespace
}  // namespace orv::frame
