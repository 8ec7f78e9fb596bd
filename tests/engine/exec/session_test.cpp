// The public API of the engine: sessions and their options, result-set
// metadata and lifetime, temporary tables private to their session,
// several sessions on several threads, and errors ending a batch.
#include <gtest/gtest.h>

#include <thread>

#include "engine/engine.h"

namespace orv::engine {
namespace {

std::shared_ptr<Database> NewDatabase() { return std::make_shared<Database>("ERPDB"); }

TEST(Session, ReturnsResultSetsWithSqlServerColumnMetadata) {
  Session session(NewDatabase());
  BatchResult result = session.Execute(
      "CREATE TABLE #t (FID INT NOT NULL, FName NVARCHAR(20), FQty DECIMAL(28,10))\n"
      "INSERT INTO #t VALUES (1, N'甲', 2.5)\n"
      "SELECT FID, FName AS Name, FQty * 2, ISNULL(FQty, 0) AS q FROM #t\n"
      "SELECT 1 AS one\n");
  ASSERT_FALSE(result.first_error()) << result.first_error()->message();
  ASSERT_EQ(result.result_sets.size(), 2u);
  const ResultSet& rows = result.result_sets[0];
  ASSERT_EQ(rows.column_count(), 4u);
  EXPECT_EQ(rows.columns()[0].name, "FID");
  EXPECT_FALSE(rows.columns()[0].nullable);
  EXPECT_EQ(rows.columns()[1].name, "Name");
  EXPECT_EQ(rows.columns()[1].type, (DataType{TypeId::NVarChar, 0, 0, 20}));
  EXPECT_EQ(rows.columns()[2].name, "");  // an unnamed expression
  EXPECT_EQ(rows.columns()[2].type.id, TypeId::Decimal);
  EXPECT_FALSE(rows.columns()[3].nullable);
  ASSERT_EQ(rows.row_count(), 1u);
  EXPECT_EQ(FormatValue(rows.at(0, 1)), "甲");
  // decimal(28,10) * the constant 2, typed decimal(1,0): decimal(30,10).
  EXPECT_EQ(FormatValue(rows.at(0, 2)), "5.0000000000");
  EXPECT_EQ(result.messages, (std::vector<std::string>{"(1 row affected)", "(1 row affected)", "(1 row affected)"}));
}

TEST(Session, ResultSetOutlivesSessionAndDatabase) {
  ResultSet kept;
  {
    Session session(NewDatabase());
    BatchResult result = session.Execute("SELECT N'文本' + 'x' AS s, CAST('2024-03-05' AS DATETIME) AS d");
    ASSERT_FALSE(result.first_error());
    ResultSet copy = result.result_sets[0];  // copies own their text too
    kept = std::move(copy);
  }
  ASSERT_EQ(kept.row_count(), 1u);
  EXPECT_EQ(FormatValue(kept.at(0, 0)), "文本x");
  EXPECT_EQ(FormatValue(kept.at(0, 1)), "2024-03-05 00:00:00.000");
}

TEST(Session, NocountAndIsolationPersistAcrossBatches) {
  Session session(NewDatabase());
  EXPECT_FALSE(session.nocount());
  EXPECT_EQ(session.isolation_level(), IsolationLevel::ReadCommitted);
  ASSERT_FALSE(session.Execute("SET NOCOUNT ON\nSET TRANSACTION ISOLATION LEVEL READ UNCOMMITTED").first_error());
  EXPECT_TRUE(session.nocount());
  EXPECT_EQ(session.isolation_level(), IsolationLevel::ReadUncommitted);
  BatchResult result = session.Execute("CREATE TABLE #t (a INT)\nINSERT INTO #t VALUES (1)\nSELECT a FROM #t");
  EXPECT_TRUE(result.messages.empty());
  EXPECT_EQ(result.result_sets.size(), 1u);
  ASSERT_FALSE(session.Execute("SET NOCOUNT OFF").first_error());
  EXPECT_EQ(session.Execute("SELECT a FROM #t").messages, std::vector<std::string>{"(1 row affected)"});
}

TEST(Session, ErrorEndsTheBatchButEarlierWorkStays) {
  Session session(NewDatabase());
  BatchResult result = session.Execute(
      "CREATE TABLE #t (a INT)\n"
      "INSERT INTO #t VALUES (1)\n"
      "SELECT a FROM #t\n"
      "SELECT nope FROM #t\n"
      "INSERT INTO #t VALUES (2)\n");
  ASSERT_TRUE(result.first_error());
  EXPECT_EQ(result.first_error()->number(), 207);
  EXPECT_EQ(result.first_error()->line(), 4);
  EXPECT_EQ(result.result_sets.size(), 1u);  // the SELECT before the error
  BatchResult count = session.Execute("SELECT COUNT(*) FROM #t");
  ASSERT_FALSE(count.first_error());
  EXPECT_EQ(count.result_sets[0].at(0, 0).i, 1);
}

TEST(Session, StatementErrorsAreKeptInOrderAtTheirPlaceAndTheBatchGoesOn) {
  Session session(NewDatabase());
  ASSERT_FALSE(session.Execute("CREATE TABLE #t (a INT NOT NULL)").first_error());
  BatchResult result = session.Execute(
      "SELECT 1 AS x\n"
      "INSERT INTO #t VALUES (NULL)\n"
      "SELECT 2 AS y\n"
      "SELECT 1 / 0\n"
      "SELECT CAST('z' AS INT)\n"
      "SELECT 3 AS z\n");
  ASSERT_EQ(result.errors.size(), 3u);
  EXPECT_EQ(result.first_error(), &result.errors[0].error);
  EXPECT_EQ(result.errors[0].error.number(), 515);
  EXPECT_EQ(result.errors[0].error.line(), 2);
  EXPECT_EQ(result.errors[0].result_sets_before, 1u);
  EXPECT_EQ(result.errors[0].messages_before, 1u);
  EXPECT_EQ(result.errors[1].error.number(), 8134);
  EXPECT_EQ(result.errors[1].result_sets_before, 2u);
  EXPECT_EQ(result.errors[1].messages_before, 2u);
  // The conversion error ends the batch: SELECT 3 never runs.
  EXPECT_EQ(result.errors[2].error.number(), 245);
  EXPECT_EQ(result.errors[2].result_sets_before, 2u);
  EXPECT_EQ(result.result_sets.size(), 2u);
  EXPECT_EQ(result.messages.size(), 2u);
}

TEST(Session, SyntaxErrorRunsNothing) {
  Session session(NewDatabase());
  BatchResult result = session.Execute("CREATE TABLE #t (a INT)\nSELECT FROM FROM");
  ASSERT_TRUE(result.first_error());
  EXPECT_EQ(result.first_error()->line(), 2);
  EXPECT_EQ(session.Execute("SELECT * FROM #t").first_error()->number(), 208);
}

TEST(Session, TemporaryTablesArePrivateAndDroppedWithTheSession) {
  auto database = NewDatabase();
  Session first(database);
  ASSERT_FALSE(first.Execute("CREATE TABLE #t (a INT)\nINSERT INTO #t VALUES (1)\nCREATE TABLE t_base (a INT)").first_error());
  {
    Session second(database);
    // The same #name is another table in another session; base tables are shared.
    ASSERT_FALSE(second.Execute("CREATE TABLE #t (a INT, b INT)\nINSERT INTO t_base VALUES (5)").first_error());
    BatchResult seen = second.Execute("SELECT COUNT(*) FROM #t\nSELECT OBJECT_ID('tempdb..#t')");
    EXPECT_EQ(seen.result_sets[0].at(0, 0).i, 0);
    EXPECT_FALSE(seen.result_sets[1].at(0, 0).is_null);
  }
  BatchResult mine = first.Execute("SELECT COUNT(*), MAX(a) FROM #t\nSELECT a FROM t_base");
  ASSERT_FALSE(mine.first_error());
  EXPECT_EQ(mine.result_sets[0].at(0, 1).i, 1);
  EXPECT_EQ(mine.result_sets[1].at(0, 0).i, 5);
  Session third(database);
  EXPECT_EQ(third.Execute("SELECT * FROM #t").first_error()->number(), 208);
}

TEST(Session, ConcurrentSessionsWithTheirOwnTempTables) {
  auto database = NewDatabase();
  Session setup(database);
  ASSERT_FALSE(setup.Execute("CREATE TABLE t_shared (k INT, v INT)").first_error());
  constexpr int kThreads = 4;
  constexpr int kRounds = 25;
  std::vector<std::string> failures(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      Session session(database);
      for (int round = 0; round < kRounds; ++round) {
        std::string n = std::to_string(t);
        BatchResult result = session.Execute(
            "IF OBJECT_ID('tempdb..#work')<>0 DROP TABLE #work\n"
            "CREATE TABLE #work (k INT, v INT)\n"
            "INSERT INTO #work VALUES (" + n + ", 1), (" + n + ", 2)\n"
            "INSERT INTO t_shared SELECT k, v FROM #work\n"
            "SELECT SUM(v), MIN(k), MAX(k) FROM #work\n"
            "SELECT COUNT(DISTINCT n) FROM (SELECT N'张三' AS n UNION ALL SELECT 'ZHANG' UNION ALL SELECT 'zhang ') d\n");
        if (result.first_error()) {
          failures[t] = result.first_error()->message();
          return;
        }
        const ResultSet& rows = result.result_sets[0];
        if (rows.at(0, 0).i != 3 || rows.at(0, 1).i != t || rows.at(0, 2).i != t ||
            result.result_sets[1].at(0, 0).i != 2) {
          failures[t] = "saw another session's rows";
          return;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (const auto& failure : failures) EXPECT_EQ(failure, "");
  BatchResult total = setup.Execute("SELECT COUNT(*), SUM(v) FROM t_shared");
  EXPECT_EQ(total.result_sets[0].at(0, 0).i, kThreads * kRounds * 2);
  EXPECT_EQ(total.result_sets[0].at(0, 1).i, kThreads * kRounds * 3);
}

TEST(Session, LongInListRunsWithoutDeepRecursion) {
  Session session(NewDatabase());
  std::string list;
  for (int i = 1; i <= 20000; ++i) list += (i > 1 ? "," : "") + std::to_string(i);
  BatchResult result = session.Execute("SELECT CASE WHEN 19999 IN (" + list + ") THEN 1 ELSE 0 END, CASE WHEN 0 NOT IN (" +
                                       list + ") THEN 1 ELSE 0 END");
  ASSERT_FALSE(result.first_error()) << result.first_error()->message();
  EXPECT_EQ(result.result_sets[0].at(0, 0).i, 1);
  EXPECT_EQ(result.result_sets[0].at(0, 1).i, 1);
}

TEST(FormatValue, RendersLikeSqlServerTools) {
  EXPECT_EQ(FormatValue(Value::Null(TypeId::Int)), "NULL");
  EXPECT_EQ(FormatValue(Value::Integer(TypeId::Bit, 1)), "1");
  EXPECT_EQ(FormatValue(Value::Decimal(-1234, 10, 2)), "-12.34");
  EXPECT_EQ(FormatValue(Value::Decimal(5, 5, 3)), "0.005");
  EXPECT_EQ(FormatValue(Value::Double(0.1)), "0.1");
  EXPECT_EQ(FormatValue(Value::DateTime(kTicksPerDay + 300 * 61 + 1)), "1900-01-02 00:01:01.003");
}

}  // namespace
}  // namespace orv::engine
