// The listener end to end with the test client: the login and what it
// announces, batches with result sets, row counts and errors in order, RPC
// calls, attention, and sessions that stay apart under concurrent clients.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/tds/rpc_builder.h"
#include "tests/tds/tds_test_client.h"
#include "tests/tds/test_server.h"

namespace orv::tds::testing {
namespace {

constexpr uint16_t kMore = 0x01;
constexpr uint16_t kError = 0x02;
constexpr uint16_t kCount = 0x10;

TEST(TdsServer, LoginAnnouncesDatabaseLanguageAndPacketSize) {
  TestServer server;
  TestClient client(server.port());
  const Reply reply = client.Login(kUser, kPassword, "TESTDB");  // the database name in any letter case
  EXPECT_TRUE(reply.login_ack);
  EXPECT_TRUE(reply.errors.empty());
  EXPECT_EQ(reply.env_changes, (std::vector<std::string>{"1:testdb", "2:us_english", "4:4096"}));
  ASSERT_EQ(reply.infos.size(), 2u);
  EXPECT_EQ(reply.infos[0].number, 5701);
  EXPECT_EQ(reply.infos[0].text, "Changed database context to 'testdb'.");
}

TEST(TdsServer, BatchSendsResultSetsCountsAndErrorsInOrder) {
  TestServer server;
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  const Reply reply = client.Batch(
      "CREATE TABLE #t (a INT, b NVARCHAR(10))\r\n"
      "INSERT INTO #t VALUES (1, N'资产'), (2, NULL)\r\n"
      "SELECT a, b FROM #t ORDER BY a\r\n"
      "SELECT a / 0 AS q FROM #t\r\n"
      "SELECT COUNT(*) AS n, SUM(a) AS s FROM #t");
  // The insert's count, the first SELECT, the division's error (it ends only
  // its statement), then the last SELECT with 2 rows counted and 1 + 2 summed.
  ASSERT_EQ(reply.rows.size(), 2u);
  EXPECT_EQ(reply.column_names[0], (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(reply.rows[0], (std::vector<std::vector<std::string>>{{"1", "资产"}, {"2", "NULL"}}));
  EXPECT_EQ(reply.rows[1], (std::vector<std::vector<std::string>>{{"2", "3"}}));
  ASSERT_EQ(reply.errors.size(), 1u);
  EXPECT_EQ(reply.errors[0].number, 8134);
  EXPECT_EQ(reply.errors[0].severity, 16);
  EXPECT_EQ(reply.errors[0].line, 4);
  EXPECT_EQ(reply.done_counts, (std::vector<uint64_t>{2, 2, 0, 1}));
  EXPECT_EQ(reply.done_statuses, (std::vector<uint16_t>{kMore | kCount, kMore | kCount, kMore | kError, kCount}));
}

TEST(TdsServer, BatchOfSettingsAloneEndsWithOneFinalDone) {
  TestServer server;
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  const Reply reply = client.Batch("SET NOCOUNT ON");
  EXPECT_EQ(reply.done_statuses, (std::vector<uint16_t>{0}));
  const Reply counted = client.Batch("SELECT 7 AS seven");
  // NOCOUNT is on: the SELECT's DONE carries its rows but not the count flag.
  EXPECT_EQ(counted.rows[0], (std::vector<std::vector<std::string>>{{"7"}}));
  EXPECT_EQ(counted.done_statuses, (std::vector<uint16_t>{0}));
}

TEST(TdsServer, ValuesOfEachColumnTypeReadBack) {
  TestServer server;
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  const Reply reply = client.Batch(
      "SELECT CAST(-12.345 AS DECIMAL(10,3)) AS d, CAST(-2.5 AS MONEY) AS m, CAST(1 AS BIT) AS b, "
      "CAST(200 AS TINYINT) AS t, CAST(-3 AS SMALLINT) AS s, CAST(-5000000000 AS BIGINT) AS g, 0.25E0 AS f, "
      "CAST('2024-03-05 10:00:00.003' AS DATETIME) AS dt, CAST('资产ab' AS VARCHAR(10)) AS v, "
      "CAST(N'x' AS NVARCHAR(MAX)) AS nm, NULL AS n");
  ASSERT_EQ(reply.rows.size(), 1u);
  EXPECT_EQ(reply.rows[0][0], (std::vector<std::string>{"-12.345", "-2.5000", "1", "200", "-3", "-5000000000", "0.25",
                                                       "2024-03-05 10:00:00.003", "资产ab", "x", "NULL"}));
}

TEST(TdsServer, ParameterlessExecuteSqlRunsTheStatement) {
  TestServer server;
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  const Reply reply = client.Rpc(CallById(10) + NVarCharParam("", "SELECT 40 + 2 AS answer"));
  ASSERT_EQ(reply.rows.size(), 1u);
  EXPECT_EQ(reply.rows[0][0][0], "42");
  // Statements inside the procedure end with DONEINPROC, the call with DONEPROC.
  EXPECT_EQ(reply.done_tokens, (std::vector<uint8_t>{0xFF, 0xFE}));
  EXPECT_EQ(reply.done_statuses.back(), 0);
}

TEST(TdsServer, ParameterisedExecuteSqlRunsWithItsParametersAndReturnsOutputs) {
  TestServer server;
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  const Reply reply = client.Rpc(CallByName("sp_executesql") + NVarCharParam("", "SELECT @p * 2 AS v") +
                                 NVarCharParam("", "@p int") + IntParam("@p", 5));
  EXPECT_TRUE(reply.errors.empty());
  ASSERT_EQ(reply.rows.size(), 1u);
  EXPECT_EQ(reply.rows[0][0][0], "10");
  EXPECT_FALSE(reply.done_statuses.back() & kError);
  // An OUTPUT parameter comes back as a return value: 5 + 1.
  const Reply output = client.Rpc(CallById(10) + NVarCharParam("", "SET @n = @n + 1") +
                                  NVarCharParam("", "@n int OUTPUT") + IntParam("@n", 5, 0x01));
  EXPECT_TRUE(output.errors.empty());
  ASSERT_EQ(output.return_values.size(), 1u);
  EXPECT_EQ(output.return_values[0], 6);
}

TEST(TdsServer, PreparedStatementsHandOutHandlesAndForgetThem) {
  TestServer server;
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  // sp_prepexec: handle (output), declarations, statement.
  const Reply prepared = client.Rpc(CallById(13) + NullIntParam("@handle", 0x01) + NVarCharParam("", "") +
                                    NVarCharParam("", "SELECT 3 AS three"));
  ASSERT_EQ(prepared.return_values.size(), 1u);
  const int32_t handle = prepared.return_values[0];
  EXPECT_EQ(prepared.rows[0][0][0], "3");
  EXPECT_EQ(client.Rpc(CallById(12) + IntParam("", handle)).rows[0][0][0], "3");  // sp_execute
  EXPECT_TRUE(client.Rpc(CallById(15) + IntParam("", handle)).errors.empty());    // sp_unprepare
  const Reply gone = client.Rpc(CallById(12) + IntParam("", handle));
  ASSERT_EQ(gone.errors.size(), 1u);
  EXPECT_EQ(gone.errors[0].number, 8179);
}

TEST(TdsServer, AttentionIsAcknowledgedAndTheConnectionGoesOn) {
  TestServer server;
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  client.Batch("SET NOCOUNT ON\r\nCREATE TABLE #n (v INT)\r\nINSERT INTO #n VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9)");
  client.Send(Packets(0x01, SqlBatchPayload("SELECT a.v FROM #n a, #n b, #n c, #n d")));
  client.Send(Packets(0x06, ""));
  // The acknowledgement ends the cancelled reply, or follows it if the reply was already out.
  bool acknowledged = false;
  for (int reply = 0; reply < 2 && !acknowledged; ++reply) acknowledged = client.ReadReply().attention_acknowledged();
  EXPECT_TRUE(acknowledged);
  EXPECT_EQ(client.Batch("SELECT COUNT(*) FROM #n").rows[0][0][0], "10");
}

// 10^12 pairs: without the attention stopping it, the reply would never come.
TEST(TdsServer, AttentionCancelsARunningStatement) {
  TestServer server;
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  client.Batch(
      "SET NOCOUNT ON\r\nCREATE TABLE #n (v INT)\r\nINSERT INTO #n VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9)\r\n"
      "SELECT a.v + 10 * b.v + 100 * c.v + 1000 * d.v AS v INTO #k FROM #n a, #n b, #n c, #n d");
  client.Send(Packets(0x01, SqlBatchPayload("SELECT COUNT(*) FROM #k a, #k b, #k c")));
  client.Send(Packets(0x06, ""));
  const Reply reply = client.ReadReply();
  EXPECT_TRUE(reply.attention_acknowledged());
  EXPECT_TRUE(reply.rows.empty());
  EXPECT_EQ(client.Batch("SELECT COUNT(*) FROM #k").rows[0][0][0], "10000");
}

TEST(TdsServer, TemporaryTablesBelongToTheirConnection) {
  TestServer server;
  TestClient first(server.port());
  TestClient second(server.port());
  first.Login(kUser, kPassword);
  second.Login(kUser, kPassword);
  first.Batch("CREATE TABLE #mine (v INT)\r\nINSERT INTO #mine VALUES (1)");
  second.Batch("CREATE TABLE #mine (v INT)\r\nINSERT INTO #mine VALUES (2), (3)");
  EXPECT_EQ(first.Batch("SELECT SUM(v) FROM #mine").rows[0][0][0], "1");
  EXPECT_EQ(second.Batch("SELECT SUM(v) FROM #mine").rows[0][0][0], "5");
}

TEST(TdsServer, ConnectionResetStartsAFreshSession) {
  TestServer server;
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  client.Batch("CREATE TABLE #pooled (v INT)");
  // A pool hands the connection on: the reset flag rides on the next request's first packet.
  std::string packets = Packets(0x01, SqlBatchPayload("SELECT COUNT(*) FROM #pooled"));
  packets[1] = static_cast<char>(packets[1] | 0x08);
  client.Send(packets);
  const Reply reply = client.ReadReply();
  ASSERT_EQ(reply.errors.size(), 1u);
  EXPECT_EQ(reply.errors[0].number, 208);
}

TEST(TdsServer, ConcurrentClientsLoseNothingAndSeeOnlyTheirOwnRows) {
  TestServer server;
  constexpr int kClients = 32;
  constexpr int kBatches = 100;
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int id = 0; id < kClients; ++id) {
    threads.emplace_back([&, id] {
      try {
        TestClient client(server.port(), 30000);
        client.Login(kUser, kPassword);
        client.Batch("CREATE TABLE #mine (v INT)");
        for (int i = 1; i <= kBatches; ++i) {
          // After batch i the table holds 1..i: i rows summing to i(i+1)/2, all of this client.
          const Reply reply = client.Batch("INSERT INTO #mine VALUES (" + std::to_string(i) + ")\r\n"
                                           "SELECT " + std::to_string(id) + " AS id, COUNT(*), SUM(v) FROM #mine");
          const std::vector<std::string> expected = {std::to_string(id), std::to_string(i), std::to_string(i * (i + 1) / 2)};
          if (reply.rows.size() != 1 || reply.rows[0].size() != 1 || reply.rows[0][0] != expected) ++wrong;
        }
      } catch (const std::exception&) {
        ++wrong;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST(TdsServer, ClientThatLeavesMidResultFreesItsConnection) {
  TestServer server;
  {
    TestClient client(server.port());
    client.Login(kUser, kPassword);
    client.Batch("SET NOCOUNT ON\r\nCREATE TABLE #n (v INT)\r\nINSERT INTO #n VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9)");
    client.Send(Packets(0x01, SqlBatchPayload("SELECT a.v, b.v, c.v FROM #n a, #n b, #n c, #n d, #n e")));
    EXPECT_FALSE(client.ReadSome().empty());
  }  // closed with most of the 100,000 rows unread
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (server.server().active_connections() != 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(server.server().active_connections(), 0u);
  TestClient next(server.port());
  EXPECT_TRUE(next.Login(kUser, kPassword).login_ack);
}

}  // namespace
}  // namespace orv::tds::testing
