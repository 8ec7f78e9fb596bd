// Transactions across sessions: uncommitted rows are never seen by another
// session, a writer waits for the lock (1222 past LOCK_TIMEOUT), a transaction
// left open is rolled back when its session closes.
#include <gtest/gtest.h>

#include <thread>

#include "engine/engine.h"

namespace orv::engine {
namespace {

int64_t Count(Session& session, const char* sql) {
  BatchResult result = session.Execute(sql);
  EXPECT_FALSE(result.first_error()) << result.first_error()->message();
  return result.result_sets.at(0).at(0, 0).i;
}

TEST(Transaction, OtherSessionsWaitForTheWriterAndNeverSeeItsRows) {
  auto database = std::make_shared<Database>("ERPDB");
  Session writer(database);
  Session reader(database);
  ASSERT_FALSE(writer.Execute("CREATE TABLE t (a INT)\nINSERT INTO t VALUES (1)").first_error());
  ASSERT_FALSE(writer.Execute("BEGIN TRAN\nINSERT INTO t VALUES (2)").first_error());

  BatchResult blocked = reader.Execute("SET LOCK_TIMEOUT 50\nSELECT COUNT(*) FROM t");
  ASSERT_TRUE(blocked.first_error());
  EXPECT_EQ(blocked.first_error()->number(), 1222);
  EXPECT_EQ(blocked.first_error()->message(), "Lock request time out period exceeded.");

  // A reader with no time-out waits for the COMMIT and then sees both rows.
  std::thread waiting([&] { EXPECT_EQ(Count(reader, "SET LOCK_TIMEOUT -1\nSELECT COUNT(*) FROM t"), 2); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_FALSE(writer.Execute("COMMIT").first_error());
  waiting.join();
}

TEST(Transaction, AnOpenTransactionIsRolledBackWhenItsSessionCloses) {
  auto database = std::make_shared<Database>("ERPDB");
  Session other(database);
  ASSERT_FALSE(other.Execute("CREATE TABLE t (a INT)").first_error());
  {
    Session closing(database);
    ASSERT_FALSE(closing.Execute("BEGIN TRAN\nINSERT INTO t VALUES (1)\nCREATE TABLE u (b INT)").first_error());
  }
  EXPECT_EQ(Count(other, "SET LOCK_TIMEOUT 0\nSELECT COUNT(*) FROM t"), 0);
  BatchResult gone = other.Execute("SELECT * FROM u");
  ASSERT_TRUE(gone.first_error());
  EXPECT_EQ(gone.first_error()->number(), 208);
}

TEST(Transaction, ATransactionSpansBatches) {
  auto database = std::make_shared<Database>("ERPDB");
  Session session(database);
  ASSERT_FALSE(session.Execute("CREATE TABLE t (a INT)\nBEGIN TRAN\nINSERT INTO t VALUES (1)").first_error());
  ASSERT_FALSE(session.Execute("INSERT INTO t VALUES (2)").first_error());
  EXPECT_EQ(Count(session, "SELECT @@TRANCOUNT * 10 + COUNT(*) FROM t"), 12);
  ASSERT_FALSE(session.Execute("ROLLBACK").first_error());
  EXPECT_EQ(Count(session, "SELECT @@TRANCOUNT * 10 + COUNT(*) FROM t"), 0);
}

}  // namespace
}  // namespace orv::engine
