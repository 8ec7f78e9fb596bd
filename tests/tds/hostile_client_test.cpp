// Clients that break the protocol or try to get in: each is cut off or given
// a clear error, and the listener goes on serving the next client.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/tds/rpc_builder.h"
#include "tests/tds/tds_test_client.h"
#include "tests/tds/test_server.h"

namespace orv::tds::testing {
namespace {

using std::chrono::milliseconds;

void ExpectStillServing(const TestServer& server) {
  TestClient client(server.port());
  ASSERT_TRUE(client.Login(kUser, kPassword).login_ack);
  EXPECT_EQ(client.Batch("SELECT 1 AS ok").rows[0][0][0], "1");
}

TEST(TdsHostile, MalformedFramingEndsTheConnection) {
  TestServer server;
  const std::vector<std::string> openings = {
      Packets(0x01, SqlBatchPayload("SELECT 1")),               // a request before PRELOGIN
      std::string{0x12, 0x01, 0x00, 0x04, 0, 0, 1, 0},           // a packet shorter than its header
      std::string{0x12, 0x01, static_cast<char>(0xFF), static_cast<char>(0xFF), 0, 0, 1, 0},  // above 32767 bytes
      Packets(0x12, std::string{0x01, 0x00, 0x40, 0x00, 0x01, static_cast<char>(0xFF)}),  // option outside the message
      Packets(0x12, std::string(300, '\x01')),                   // an option table without end
      std::string("GET / HTTP/1.1\r\nHost: x\r\n\r\n"),
  };
  for (const std::string& opening : openings) {
    TestClient client(server.port());
    client.Send(opening);
    EXPECT_TRUE(client.WaitClosed());
  }
  ExpectStillServing(server);
}

TEST(TdsHostile, LoginRecordsThatLieAboutTheirLengthsAreRefused) {
  TestServer server;
  std::string login = Login7Payload(kUser, kPassword, "");
  std::string beyond = login;
  beyond[40] = static_cast<char>(0xF0);  // the user name's offset points past the record
  std::string too_long = login;
  too_long[42] = static_cast<char>(200);  // 200 characters of user name
  for (const std::string& record : {beyond, too_long, login.substr(0, 60)}) {
    TestClient client(server.port());
    client.Send(Packets(0x12, PreloginPayload(2)));
    client.ReadMessage();
    client.Send(Packets(0x10, record));
    EXPECT_TRUE(client.WaitClosed());
  }
  ExpectStillServing(server);
}

TEST(TdsHostile, OversizedRequestEndsTheConnection) {
  TestServer server("", [](ServerConfig& config, ListenOptions&) { config.max_message_bytes = 64 * 1024; });
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  client.Send(Packets(0x01, SqlBatchPayload("SELECT '" + std::string(40000, 'x') + "'")));
  EXPECT_TRUE(client.WaitClosed());
  ExpectStillServing(server);
}

TEST(TdsHostile, SlowLoginIsCutOffAtTheLoginTimeout) {
  TestServer server("", [](ServerConfig& config, ListenOptions&) { config.login_timeout = milliseconds(300); });
  TestClient client(server.port());
  const auto start = std::chrono::steady_clock::now();
  client.Send(std::string{0x12, 0x01, 0x00});  // three bytes of a header, then nothing
  EXPECT_TRUE(client.WaitClosed());
  const auto waited = std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_GE(waited.count(), 250);
  EXPECT_LT(waited.count(), 4000);
  ExpectStillServing(server);
}

TEST(TdsHostile, ConnectionsBeyondTheLimitAreTurnedAway) {
  TestServer server("", [](ServerConfig&, ListenOptions& listen) { listen.max_connections = 2; });
  TestClient first(server.port());
  TestClient second(server.port());
  first.Login(kUser, kPassword);
  second.Login(kUser, kPassword);
  TestClient third(server.port());
  EXPECT_TRUE(third.WaitClosed());
}

TEST(TdsHostile, WrongPasswordsAndDatabasesGetTheServersLoginErrors) {
  TestServer server;
  TestClient wrong_password(server.port());
  const Reply refused = wrong_password.Login(kUser, "guess");
  EXPECT_FALSE(refused.login_ack);
  ASSERT_EQ(refused.errors.size(), 1u);
  EXPECT_EQ(refused.errors[0].number, 18456);
  EXPECT_EQ(refused.errors[0].severity, 14);
  EXPECT_EQ(refused.errors[0].text, "Login failed for user 'tester'.");
  EXPECT_TRUE(wrong_password.WaitClosed());

  TestClient unknown_user(server.port());
  EXPECT_EQ(unknown_user.Login("nobody", kPassword).errors.at(0).number, 18456);

  TestClient wrong_database(server.port());
  const Reply no_database = wrong_database.Login(kUser, kPassword, "master");
  ASSERT_EQ(no_database.errors.size(), 2u);
  EXPECT_EQ(no_database.errors[0].number, 4060);
  EXPECT_EQ(no_database.errors[0].text, "Cannot open database \"master\" requested by the login. The login failed.");
  EXPECT_EQ(no_database.errors[1].number, 18456);
}

TEST(TdsHostile, RepeatedFailuresLockTheAddressOutEvenWithTheRightPassword) {
  LoginThrottle throttle(ThrottleOptions{3, std::chrono::minutes(1), std::chrono::minutes(1), 100});
  TestServer server("", [&](ServerConfig& config, ListenOptions&) { config.throttle = &throttle; });
  for (int attempt = 0; attempt < 3; ++attempt) {
    TestClient client(server.port());
    EXPECT_FALSE(client.Login(kUser, "guess").login_ack);
  }
  TestClient locked(server.port());
  const Reply reply = locked.Login(kUser, kPassword);
  EXPECT_FALSE(reply.login_ack);
  EXPECT_EQ(reply.errors.at(0).number, 18456);
}

TEST(TdsHostile, BadRequestsGetErrorsAndTheConnectionStays) {
  TestServer server;
  TestClient client(server.port());
  client.Login(kUser, kPassword);
  std::string truncated = CallById(10) + NVarCharParam("", "SELECT 1");
  truncated.resize(truncated.size() - 3);  // the value ends early
  const Reply cut = client.Rpc(truncated);
  ASSERT_EQ(cut.errors.size(), 1u);
  EXPECT_EQ(cut.errors[0].number, 4002);

  std::string bad_decimal = CallById(10) + NVarCharParam("", "SELECT @d") + NVarCharParam("", "@d decimal(50,2)") +
                            ParamHead("@d") + std::string{0x6A, 0x11, 50, 2};
  EXPECT_EQ(client.Rpc(bad_decimal).errors.at(0).number, 8020);

  EXPECT_EQ(client.Rpc(CallById(99)).errors.at(0).number, 2812);

  client.Send(Packets(0x07, "bulk rows"));  // bulk load: not served
  EXPECT_EQ(client.ReadReply().errors.at(0).number, 50001);

  client.Send(Packets(0x01, SqlBatchPayload("SELECT 1").substr(0, 23)));  // half a UTF-16 unit
  EXPECT_EQ(client.ReadReply().errors.at(0).number, 4002);
  EXPECT_EQ(client.Batch("SELECT 2 AS two").rows[0][0][0], "2");
}

}  // namespace
}  // namespace orv::tds::testing
