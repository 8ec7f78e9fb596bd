// Procedural T-SQL against the engine's limits: loops that only a cancel or a
// time-out ends (TRY cannot swallow the cancel), procedures, dynamic SQL and
// views sharing the one 32-level nesting count, and the memory budget inside
// an explicit transaction. Every loop here has an end of its own far past the
// cancel, so a regression fails the test instead of hanging it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "engine/engine.h"

namespace orv::engine {
namespace {

int ErrorNumber(const BatchResult& result) { return result.first_error() ? result.first_error()->number() : 0; }

std::string Cell(const BatchResult& result, size_t set = 0) {
  return FormatValue(result.result_sets.at(set).at(0, 0));
}

void ExpectUsable(Session& session) {
  const BatchResult after = session.Execute("SELECT @@NESTLEVEL AS level, @@TRANCOUNT AS open_transactions");
  ASSERT_EQ(ErrorNumber(after), 0);
  EXPECT_EQ(Cell(after), "0");  // no level leaked by the failure
  EXPECT_EQ(FormatValue(after.result_sets.at(0).at(0, 1)), "0");
}

// 20 million passes: about a minute if nothing stopped them.
constexpr const char* kLongLoop =
    "DECLARE @i BIGINT = 0, @caught INT = 0\n"
    "WHILE @i < 20000000 BEGIN BEGIN TRY SET @i = @i + 1 END TRY BEGIN CATCH SET @caught = @caught + 1 END CATCH END\n"
    "SELECT @i AS passes, @caught AS caught";

TEST(ProceduralLimits, ALoopWithoutQueriesEndsOnCancelAndTryDoesNotCatchIt) {
  Session session(std::make_shared<Database>("ERPDB"));
  std::thread canceller([&session] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    session.Cancel();
  });
  const BatchResult cancelled = session.Execute(kLongLoop);
  canceller.join();
  ASSERT_EQ(ErrorNumber(cancelled), 3617);
  EXPECT_EQ(cancelled.first_error()->message(), "Query was canceled by user.");
  EXPECT_TRUE(cancelled.result_sets.empty());  // the batch ended in the loop; CATCH never ran on
  ExpectUsable(session);
}

TEST(ProceduralLimits, TheTimeOutEndsALoopInsideAProcedure) {
  Session session(std::make_shared<Database>("ERPDB"));
  ASSERT_EQ(ErrorNumber(session.Execute(std::string("CREATE PROCEDURE spin AS ") + kLongLoop)), 0);
  session.set_timeout(std::chrono::milliseconds(100));
  const BatchResult timed_out = session.Execute("EXEC spin\nSELECT 'never' AS after_it");
  EXPECT_EQ(ErrorNumber(timed_out), 3617);
  EXPECT_TRUE(timed_out.result_sets.empty());
  session.set_timeout(std::chrono::milliseconds(0));
  ExpectUsable(session);
}

// Each call is one level; a call at level 33 fails with 217 and the session
// is back at level 0 afterwards.
TEST(ProceduralLimits, ProceduresDynamicSqlAndViewsShareThirtyTwoLevels) {
  Session session(std::make_shared<Database>("ERPDB"));
  ASSERT_EQ(ErrorNumber(session.Execute(
                "CREATE PROCEDURE down @n INT AS IF @n > 0 BEGIN DECLARE @m INT = @n - 1 EXEC down @m END "
                "ELSE SELECT @@NESTLEVEL AS level")),
            0);
  // down 31 at level 1 calls down 30 at level 2 ... down 0 at level 32.
  const BatchResult deepest = session.Execute("EXEC down 31");
  ASSERT_EQ(ErrorNumber(deepest), 0) << deepest.first_error()->message();
  EXPECT_EQ(Cell(deepest), "32");
  const BatchResult too_deep = session.Execute("EXEC down 32");
  EXPECT_EQ(ErrorNumber(too_deep), 217);
  EXPECT_TRUE(too_deep.result_sets.empty());
  ExpectUsable(session);

  // Each pass is two levels, the procedure and the string it runs: dyn 15 at
  // level 1 reaches dyn 0 at 1 + 2 * 15 = 31; dyn 16 would be at 33.
  ASSERT_EQ(ErrorNumber(session.Execute(
                "CREATE PROCEDURE dyn @n INT AS IF @n > 0 BEGIN "
                "DECLARE @s NVARCHAR(100) = N'EXEC dyn ' + CAST(@n - 1 AS NVARCHAR(10)) EXEC (@s) END "
                "ELSE SELECT @@NESTLEVEL AS level")),
            0);
  const BatchResult dynamic = session.Execute("EXEC dyn 15");
  ASSERT_EQ(ErrorNumber(dynamic), 0) << dynamic.first_error()->message();
  EXPECT_EQ(Cell(dynamic), "31");
  EXPECT_EQ(ErrorNumber(session.Execute("EXEC dyn 16")), 217);
  ExpectUsable(session);

  // A chain of 20 views read at procedure level n + 1 needs n + 21 levels.
  ASSERT_EQ(ErrorNumber(session.Execute("CREATE TABLE t (a INT) INSERT INTO t VALUES (7)")), 0);
  ASSERT_EQ(ErrorNumber(session.Execute("CREATE VIEW v1 AS SELECT a FROM t")), 0);
  for (int level = 2; level <= 20; ++level) {
    const std::string view = "CREATE VIEW v" + std::to_string(level) + " AS SELECT a FROM v" + std::to_string(level - 1);
    ASSERT_EQ(ErrorNumber(session.Execute(view)), 0) << level;
  }
  ASSERT_EQ(ErrorNumber(session.Execute(
                "CREATE PROCEDURE over_views @n INT AS IF @n > 0 BEGIN DECLARE @m INT = @n - 1 EXEC over_views @m END "
                "ELSE SELECT a FROM v20")),
            0);
  const BatchResult fits = session.Execute("EXEC over_views 11");
  ASSERT_EQ(ErrorNumber(fits), 0) << fits.first_error()->message();
  EXPECT_EQ(Cell(fits), "7");
  EXPECT_EQ(ErrorNumber(session.Execute("EXEC over_views 12")), 217);
  ExpectUsable(session);
}

// Past the memory budget inside a transaction: the statement's rows are
// undone with the transaction (701 ends the batch, and an error that ends the
// batch rolls back), or, inside TRY, CATCH gets 701 and the budget holds for
// what the batch does next.
TEST(ProceduralLimits, MemoryBudgetInsideATransactionAndUnderTry) {
  auto database = std::make_shared<Database>("ERPDB");
  database->set_memory_limit(size_t{16} << 20);
  Session session(database);
  ASSERT_EQ(ErrorNumber(session.Execute(
                "SET NOCOUNT ON CREATE TABLE n (v INT) INSERT INTO n VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9) "
                "SELECT a.v + 10 * b.v + 100 * c.v + 1000 * d.v AS v INTO k "
                "FROM n a CROSS JOIN n b CROSS JOIN n c CROSS JOIN n d "
                "CREATE TABLE kept (v INT)")),
            0);
  // 10^7 rows: 40 MB of values alone, past 16 MB.
  const std::string too_much = "INSERT INTO kept SELECT a.v FROM k a CROSS JOIN k b WHERE b.v < 1000";
  ASSERT_EQ(ErrorNumber(session.Execute("BEGIN TRANSACTION INSERT INTO kept VALUES (1), (2)")), 0);
  ASSERT_EQ(ErrorNumber(session.Execute(too_much)), 701);
  const BatchResult after = session.Execute("SELECT COUNT(*), @@TRANCOUNT FROM kept");
  ASSERT_EQ(ErrorNumber(after), 0);
  EXPECT_EQ(FormatValue(after.result_sets.at(0).at(0, 0)), "0");
  EXPECT_EQ(FormatValue(after.result_sets.at(0).at(0, 1)), "0");

  ASSERT_EQ(ErrorNumber(session.Execute("INSERT INTO kept VALUES (1), (2)")), 0);
  // Each of the three passes is refused anew; none leaves a row behind.
  const BatchResult caught = session.Execute(
      "DECLARE @i INT = 0, @caught INT = 0\n"
      "WHILE @i < 3 BEGIN\n"
      "  BEGIN TRY " + too_much + " END TRY\n"
      "  BEGIN CATCH IF ERROR_NUMBER() = 701 SET @caught = @caught + 1 END CATCH\n"
      "  SET @i = @i + 1\n"
      "END\n"
      "SELECT @caught AS caught, (SELECT COUNT(*) FROM kept) AS kept_rows, (SELECT SUM(v) FROM kept) AS total");
  ASSERT_EQ(ErrorNumber(caught), 0) << caught.first_error()->message();
  EXPECT_EQ(FormatValue(caught.result_sets.at(0).at(0, 0)), "3");
  EXPECT_EQ(FormatValue(caught.result_sets.at(0).at(0, 1)), "2");
  EXPECT_EQ(FormatValue(caught.result_sets.at(0).at(0, 2)), "3");  // 1 + 2
  ExpectUsable(session);
}

// Statements nested 100,000 deep are refused with 191 before they can
// exhaust the stack, whichever statement nests.
TEST(ProceduralLimits, DeeplyNestedStatementsFailWith191) {
  Session session(std::make_shared<Database>("ERPDB"));
  const int depth = 100000;
  std::string ifs;
  std::string blocks;
  std::string loops;
  for (int i = 0; i < depth; ++i) {
    ifs += "IF 1 = 1 ";
    blocks += "BEGIN ";
    loops += "WHILE 1 = 0 ";
  }
  std::string tries;
  for (int i = 0; i < depth / 5; ++i) tries += "BEGIN TRY ";
  tries += "SELECT 1";
  for (int i = 0; i < depth / 5; ++i) tries += " END TRY BEGIN CATCH END CATCH";
  blocks += "SELECT 1";
  for (int i = 0; i < depth; ++i) blocks += " END";
  for (const std::string& batch : {ifs + "SELECT 1", blocks, loops + "SELECT 1", tries}) {
    EXPECT_EQ(ErrorNumber(session.Execute(batch)), 191) << batch.substr(0, 40);
  }
  ExpectUsable(session);
}

}  // namespace
}  // namespace orv::engine
