// The engine under hostile SQL: nesting limits, cancellation and time-outs,
// the memory budget, and work that must stop early. Each test is bounded by
// the limit it proves (a memory cap, a cancel, a time-out), never by a stopwatch.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "engine/engine.h"

namespace orv::engine {
namespace {

std::shared_ptr<Database> NewDatabase() { return std::make_shared<Database>("ERPDB"); }

int FirstErrorNumber(const BatchResult& result) { return result.first_error() ? result.first_error()->number() : 0; }

// 0..9999 in #k, from the digits in #n.
void MakeTenThousandRows(Session& session) {
  const BatchResult made = session.Execute(
      "SET NOCOUNT ON CREATE TABLE #n (v INT) INSERT INTO #n VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9) "
      "SELECT a.v + 10 * b.v + 100 * c.v + 1000 * d.v AS v INTO #k "
      "FROM #n a CROSS JOIN #n b CROSS JOIN #n c CROSS JOIN #n d");
  ASSERT_EQ(FirstErrorNumber(made), 0) << made.first_error()->message();
}

void ExpectUsable(Session& session) {
  const BatchResult after = session.Execute("SELECT 41 + 1 AS answer");
  ASSERT_EQ(FirstErrorNumber(after), 0);
  EXPECT_EQ(FormatValue(after.result_sets.at(0).at(0, 0)), "42");
}

TEST(Limits, ViewsNestThirtyTwoDeepAndNoDeeper) {
  Session session(NewDatabase());
  ASSERT_EQ(FirstErrorNumber(session.Execute("CREATE TABLE t (a INT) INSERT INTO t VALUES (7)")), 0);
  ASSERT_EQ(FirstErrorNumber(session.Execute("CREATE VIEW v1 AS SELECT a FROM t")), 0);
  for (int level = 2; level <= 32; ++level) {
    const std::string sql = "CREATE VIEW v" + std::to_string(level) + " AS SELECT a FROM v" + std::to_string(level - 1);
    ASSERT_EQ(FirstErrorNumber(session.Execute(sql)), 0) << level;
  }
  const BatchResult deepest = session.Execute("SELECT a FROM v32");
  ASSERT_EQ(FirstErrorNumber(deepest), 0);
  EXPECT_EQ(FormatValue(deepest.result_sets.at(0).at(0, 0)), "7");
  const BatchResult too_deep = session.Execute("CREATE VIEW v33 AS SELECT a FROM v32");
  ASSERT_EQ(FirstErrorNumber(too_deep), 217);
  EXPECT_EQ(too_deep.first_error()->message(),
            "Maximum stored procedure, function, trigger, or view nesting level exceeded (limit 32).");
  EXPECT_EQ(too_deep.first_error()->severity(), 16);
  // A derived table over the deepest view is no view: it nests no further.
  EXPECT_EQ(FirstErrorNumber(session.Execute("SELECT a FROM (SELECT a FROM v32) AS d")), 0);
  ExpectUsable(session);
}

// Each view joins the one below twice: expanding v20 would bind 2^20 copies
// of t. Creating each costs one view's work, because the views it reads stand
// there by their recorded columns; a query over a low one still runs.
TEST(Limits, CreatingViewsThatEachJoinThePreviousTwiceStaysLinear) {
  Session session(NewDatabase());
  ASSERT_EQ(FirstErrorNumber(session.Execute("CREATE TABLE t (a INT) INSERT INTO t VALUES (1), (2)")), 0);
  ASSERT_EQ(FirstErrorNumber(session.Execute("CREATE VIEW w0 AS SELECT a FROM t")), 0);
  for (int level = 1; level <= 24; ++level) {
    const std::string below = "w" + std::to_string(level - 1);
    const std::string sql = "CREATE VIEW w" + std::to_string(level) + " AS SELECT x.a FROM " + below + " x JOIN " +
                            below + " y ON x.a = y.a";
    ASSERT_EQ(FirstErrorNumber(session.Execute(sql)), 0) << level;
  }
  // w3 over t (1, 2): each level joins equal values only, so still 1 and 2.
  const BatchResult rows = session.Execute("SELECT COUNT(*), SUM(a) FROM w3");
  ASSERT_EQ(FirstErrorNumber(rows), 0);
  EXPECT_EQ(FormatValue(rows.result_sets.at(0).at(0, 0)), "2");
  EXPECT_EQ(FormatValue(rows.result_sets.at(0).at(0, 1)), "3");
}

TEST(Limits, DeepNestingFailsWithNestedTooDeeply) {
  Session session(NewDatabase());
  std::string parens = "SELECT " + std::string(100000, '(') + "1" + std::string(100000, ')');
  EXPECT_EQ(FirstErrorNumber(session.Execute(parens)), 191);
  std::string cases = "SELECT ";
  for (int i = 0; i < 5000; ++i) cases += "CASE WHEN 1 = 1 THEN ";
  cases += "1";
  for (int i = 0; i < 5000; ++i) cases += " END";
  EXPECT_EQ(FirstErrorNumber(session.Execute(cases)), 191);
  std::string subqueries = "SELECT ";
  for (int i = 0; i < 3000; ++i) subqueries += "(SELECT ";
  subqueries += "1" + std::string(3000, ')');
  EXPECT_EQ(FirstErrorNumber(session.Execute(subqueries)), 191);
  ExpectUsable(session);
}

// 10^12 pairs: only a cancel or the time-out ends it.
constexpr const char* kEndless = "SELECT COUNT(*) FROM #k a CROSS JOIN #k b CROSS JOIN #k c";

TEST(Limits, CancelFromAnotherThreadEndsTheBatchAndTheSessionGoesOn) {
  Session session(NewDatabase());
  MakeTenThousandRows(session);
  std::thread canceller([&session] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    session.Cancel();
  });
  const BatchResult cancelled = session.Execute(std::string(kEndless) + "\nSELECT 1 AS never");
  canceller.join();
  ASSERT_EQ(FirstErrorNumber(cancelled), 3617);
  EXPECT_EQ(cancelled.first_error()->message(), "Query was canceled by user.");
  EXPECT_TRUE(cancelled.result_sets.empty());  // the batch ended there
  ExpectUsable(session);
}

TEST(Limits, TimeOutCancelsTheBatch) {
  Session session(NewDatabase());
  MakeTenThousandRows(session);
  session.set_timeout(std::chrono::milliseconds(100));
  EXPECT_EQ(FirstErrorNumber(session.Execute(kEndless)), 3617);
  ExpectUsable(session);
  session.set_timeout(std::chrono::milliseconds(0));
}

// A time-out ends the batch but, as an attention does on a server, leaves an
// open transaction open with what it did so far; the client rolls it back.
// Under XACT_ABORT the transaction goes with the batch.
TEST(Limits, TimeOutLeavesTheTransactionToTheClientUnlessXactAbort) {
  Session session(NewDatabase());
  MakeTenThousandRows(session);
  auto count_of = [&session](const char* sql) {
    const BatchResult result = session.Execute(sql);
    EXPECT_EQ(FirstErrorNumber(result), 0) << sql;
    return FormatValue(result.result_sets.at(0).at(0, 0));
  };
  session.set_timeout(std::chrono::milliseconds(100));
  EXPECT_EQ(FirstErrorNumber(session.Execute(std::string("BEGIN TRAN DELETE FROM #k WHERE v < 10 ") + kEndless)), 3617);
  EXPECT_EQ(count_of("SELECT @@TRANCOUNT"), "1");
  EXPECT_EQ(count_of("SELECT COUNT(*) FROM #k"), "9990");
  EXPECT_EQ(FirstErrorNumber(session.Execute("ROLLBACK")), 0);
  EXPECT_EQ(count_of("SELECT COUNT(*) FROM #k"), "10000");

  EXPECT_EQ(FirstErrorNumber(session.Execute(std::string("SET XACT_ABORT ON BEGIN TRAN DELETE FROM #k WHERE v < 10 ") +
                                             kEndless)),
            3617);
  EXPECT_EQ(count_of("SELECT @@TRANCOUNT"), "0");
  EXPECT_EQ(count_of("SELECT COUNT(*) FROM #k"), "10000");
  session.set_timeout(std::chrono::milliseconds(0));
}

// A caller's limit around several batches (a report run) stops the one
// running when it passes, though the session itself has no time-out; once
// the caller's scope ends the session runs as before.
TEST(Limits, ACallersTimeLimitStopsTheBatchesRunInsideIt) {
  Session session(NewDatabase());
  MakeTenThousandRows(session);
  {
    CancelFlag never_raised;
    const InterruptScope run_limit(never_raised, std::chrono::milliseconds(100));
    EXPECT_EQ(FirstErrorNumber(session.Execute(kEndless)), 3617);
    EXPECT_TRUE(run_limit.interrupted());
    // Past the deadline the next batch stops at its first check.
    EXPECT_EQ(FirstErrorNumber(session.Execute("SELECT COUNT(*) FROM #k")), 3617);
  }
  const BatchResult after = session.Execute("SELECT COUNT(*) FROM #k");
  ASSERT_EQ(FirstErrorNumber(after), 0);
  EXPECT_EQ(FormatValue(after.result_sets.at(0).at(0, 0)), "10000");
}

// The loop reads no table, so no operator checks for the cancel on its behalf.
TEST(Limits, TimeOutEndsAWhileLoopOverVariablesOnly) {
  Session session(NewDatabase());
  session.set_timeout(std::chrono::milliseconds(100));
  EXPECT_EQ(FirstErrorNumber(session.Execute("DECLARE @i INT = 0 WHILE 1 = 1 SET @i = (@i + 1) % 1000")), 3617);
  EXPECT_EQ(FirstErrorNumber(session.Execute("WHILE 1 = 1 BEGIN IF 1 = 0 BREAK END")), 3617);
  ExpectUsable(session);
  session.set_timeout(std::chrono::milliseconds(0));
}

TEST(Limits, BatchPastTheMemoryBudgetFailsWith701) {
  auto database = NewDatabase();
  database->set_memory_limit(size_t{64} << 20);
  Session session(database);
  MakeTenThousandRows(session);
  // Sorting 10^8 pairs needs gigabytes; the budget stops it at 64 MB.
  const BatchResult sorted = session.Execute("SELECT a.v, b.v FROM #k a CROSS JOIN #k b ORDER BY b.v, a.v");
  ASSERT_EQ(FirstErrorNumber(sorted), 701);
  EXPECT_EQ(sorted.first_error()->message(),
            "There is insufficient system memory in resource pool 'default' to run this query.");
  EXPECT_EQ(sorted.first_error()->severity(), 17);
  ExpectUsable(session);
  // The temporary table made before the failure is still there.
  const BatchResult count = session.Execute("SELECT COUNT(*) FROM #k");
  EXPECT_EQ(FormatValue(count.result_sets.at(0).at(0, 0)), "10000");
}

// Under a 64 MB budget a whole join of 10^8 pairs would fail with 701: these
// answer from the first rows.
TEST(Limits, TopExistsAndSubqueriesStopPullingFromJoins) {
  auto database = NewDatabase();
  database->set_memory_limit(size_t{64} << 20);
  Session session(database);
  MakeTenThousandRows(session);
  const BatchResult top = session.Execute("SELECT TOP 10 a.v, b.v FROM #k a CROSS JOIN #k b");
  ASSERT_EQ(FirstErrorNumber(top), 0) << top.first_error()->message();
  EXPECT_EQ(top.result_sets.at(0).row_count(), 10u);
  const BatchResult exists = session.Execute(
      "SELECT COUNT(*) FROM #n WHERE EXISTS (SELECT 1 FROM #k a CROSS JOIN #k b WHERE a.v > 5000) "
      "AND v IN (SELECT a.v FROM #k a CROSS JOIN #k b WHERE a.v = #n.v)");
  ASSERT_EQ(FirstErrorNumber(exists), 0) << exists.first_error()->message();
  EXPECT_EQ(FormatValue(exists.result_sets.at(0).at(0, 0)), "10");
}

TEST(Limits, LongInListIsHashed) {
  auto database = NewDatabase();
  Session session(database);
  MakeTenThousandRows(session);
  // 200,000 items: the even numbers 0, 2, ... 399998; #k holds 0..9999, so 5000 match.
  std::string sql = "SELECT COUNT(*) FROM #k WHERE v IN (";
  for (int i = 0; i < 200000; ++i) sql += (i ? "," : "") + std::to_string(2 * i);
  sql += ")";
  const BatchResult rows = session.Execute(sql);
  ASSERT_EQ(FirstErrorNumber(rows), 0) << rows.first_error()->message();
  EXPECT_EQ(FormatValue(rows.result_sets.at(0).at(0, 0)), "5000");
}

}  // namespace
}  // namespace orv::engine
