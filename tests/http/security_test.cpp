// The service's gate: nothing of a report without a login, no state change
// without the login's second token, no file outside the pages' folder, no
// oversize body, no client that holds a connection by going quiet, and condition values that stay inside their SQL literals.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>

#include "tests/http/service_fixture.h"

namespace orv::http::test {
namespace {

class SecurityTest : public ServiceTest {
 protected:
  // The invoice lines of a run of 2010001, its total row left out.
  size_t Lines(const nlohmann::json& conditions) const {
    const nlohmann::json reply = Run("2010001", conditions);
    if (!reply.contains("result")) return SIZE_MAX;
    return static_cast<size_t>(std::count_if(reply["result"]["rows"].begin(), reply["result"]["rows"].end(),
                                             [](const nlohmann::json& row) { return row["kind"] == "detail"; }));
  }
};

TEST_F(SecurityTest, EveryReportCallWantsALogin) {
  Start();
  for (const std::string path :
       {"/api/reports", "/api/reports/2010001", "/api/session", "/api/runs/00ff/export?format=csv"}) {
    const httplib::Result reply = Get(path);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 401) << path;
    EXPECT_EQ(reply->body.find("2010001"), std::string::npos) << path;
  }
  const httplib::Result run = Post("/api/reports/2010001/run", R"({"conditions":{}})", false);
  ASSERT_TRUE(run);
  EXPECT_EQ(run->status, 401);
  // A made-up cookie is no login either.
  cookie_ = "orv_session=" + std::string(64, 'a');
  EXPECT_EQ(Get("/api/reports")->status, 401);
}

TEST_F(SecurityTest, LoginChecksThePasswordAndSlowsGuessing) {
  Start();
  const std::string wrong = R"({"user":"clerk","password":"guess","language":"en"})";
  const httplib::Result refused = Post("/api/login", wrong, false);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->status, 401);
  EXPECT_EQ(nlohmann::json::parse(refused->body).at("error"), "Wrong user name or password");
  EXPECT_TRUE(refused->get_header_value("Set-Cookie").empty());
  // Four more failures make five within the minute; then even the right password waits.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Post("/api/login", wrong, false)->status, 401);
  const httplib::Result locked = Post("/api/login", R"({"user":"clerk","password":"pa55word","language":"en"})", false);
  ASSERT_TRUE(locked);
  EXPECT_EQ(locked->status, 429);
}

TEST_F(SecurityTest, TheSessionCookieIsHttpOnlyAndLogoutEndsIt) {
  Start();
  const httplib::Result reply = Post("/api/login", R"({"user":"CLERK","password":"pa55word"})", false);
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->status, 200);
  const std::string set_cookie = reply->get_header_value("Set-Cookie");
  EXPECT_NE(set_cookie.find("HttpOnly"), std::string::npos);
  EXPECT_NE(set_cookie.find("SameSite=Strict"), std::string::npos);
  EXPECT_EQ(nlohmann::json::parse(reply->body).at("language"), "chs");  // no language asked for
  cookie_ = set_cookie.substr(0, set_cookie.find(';'));
  csrf_ = nlohmann::json::parse(reply->body).at("csrf");
  EXPECT_EQ(Get("/api/reports")->status, 200);
  EXPECT_EQ(Post("/api/logout", "{}", false)->status, 403);  // a logout is a change too
  EXPECT_EQ(Post("/api/logout", "{}")->status, 200);
  EXPECT_EQ(Get("/api/reports")->status, 401);
}

TEST_F(SecurityTest, AReportRunsOnlyWithTheLoginsSecondToken) {
  Start();
  LogIn();
  const httplib::Result forged = Post("/api/reports/2010001/run", R"({"conditions":{}})", false);
  ASSERT_TRUE(forged);
  EXPECT_EQ(forged->status, 403);
  csrf_ = std::string(64, '0');
  EXPECT_EQ(Post("/api/reports/2010001/run", R"({"conditions":{}})")->status, 403);
}

TEST_F(SecurityTest, StaticFilesStayInsideThePagesFolder) {
  Start();
  const httplib::Result index = Get("/");
  ASSERT_TRUE(index);
  EXPECT_EQ(index->status, 200);
  EXPECT_NE(index->body.find("viewer.js"), std::string::npos);
  EXPECT_EQ(index->get_header_value("X-Content-Type-Options"), "nosniff");
  // http/CMakeLists.txt sits one folder above the pages.
  for (const std::string path :
       {"/../CMakeLists.txt", "/%2e%2e/CMakeLists.txt", "/..%2fCMakeLists.txt", "/%2e%2e%2fCMakeLists.txt",
        "/static/../../CMakeLists.txt", "/..\\CMakeLists.txt", "//etc/passwd", "/%2fetc%2fpasswd"}) {
    const httplib::Result reply = Get(path);
    ASSERT_TRUE(reply) << path;
    EXPECT_GE(reply->status, 400) << path;
    EXPECT_EQ(reply->body.find("orv_library"), std::string::npos) << path;
    EXPECT_EQ(reply->body.find("root:"), std::string::npos) << path;
  }
}

TEST_F(SecurityTest, OversizeBodiesAreRefusedBeforeTheyAreRead) {
  Start();
  const std::string padding(5000, ' ');  // the limit is 4096 bytes
  const httplib::Result login = Post("/api/login", R"({"user":"clerk","password":"pa55word")" + padding + "}", false);
  ASSERT_TRUE(login);
  EXPECT_EQ(login->status, 413);
  LogIn();
  const httplib::Result run =
      Post("/api/reports/2010001/run", R"({"conditions":{"FItemFrom":")" + std::string(5000, 'x') + R"("}})");
  ASSERT_TRUE(run);
  EXPECT_EQ(run->status, 413);
}

// A client that starts a request and goes quiet loses its connection after the
// read time-out, so a few such clients cannot hold every worker.
TEST_F(SecurityTest, AQuietClientIsCutOffAfterTheReadTimeOut) {
  config_.io_timeout = std::chrono::seconds(1);
  Start();
  const int socket_fd = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(socket_fd, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(service_->port());
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(socket_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  // Our own wait is far longer, and bounds the test should the server never close.
  const timeval wait{20, 0};
  ASSERT_EQ(::setsockopt(socket_fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait), 0);
  const std::string partial = "POST /api/login HTTP/1.1\r\nHost: 127.0.0.1\r\n";
  ASSERT_EQ(::send(socket_fd, partial.data(), partial.size(), 0), static_cast<ssize_t>(partial.size()));
  // The server may answer the cut request (400) before it closes; read until it does.
  std::string answer;
  char chunk[512];
  ssize_t received = 0;
  while ((received = ::recv(socket_fd, chunk, sizeof chunk, 0)) > 0) {
    answer.append(chunk, static_cast<size_t>(received));
  }
  const int error = errno;
  ::close(socket_fd);
  // 0: the server closed the connection; a reset is as good; EAGAIN would be our own wait running out.
  EXPECT_TRUE(received == 0 || error == ECONNRESET) << answer << " errno " << error;
  EXPECT_EQ(answer.find("200 OK"), std::string::npos) << answer;
  // The service still answers others.
  EXPECT_EQ(Get("/api/texts?language=en")->status, 200);
}

TEST_F(SecurityTest, ConditionValuesStayInsideTheirLiterals) {
  Start();
  LogIn();
  const size_t all_lines = Lines(nlohmann::json::object());
  ASSERT_GT(all_lines, 0u);
  // As text, a quote sorts before every item number: from "'..." on is every line, up to it none.
  // Were the value spliced as SQL, OR 1=1 would return every line in both runs.
  const std::string hostile = "' OR 1=1 --";
  EXPECT_EQ(Lines({{"FItemFrom", hostile}}), all_lines);
  EXPECT_EQ(Lines({{"FItemTo", hostile}}), 0u);
  // A statement after a closed literal runs nothing either: the items are all still there.
  Run("2010001", {{"FSupplyFrom", "0'; DELETE FROM t_ICItem; DROP TABLE t_Supplier; --"}});
  EXPECT_EQ(Lines(nlohmann::json::object()), all_lines);
}

TEST_F(SecurityTest, ARunBelongsToTheLoginThatRanIt) {
  Start();
  LogIn();
  const std::string run = Run("2010001", nlohmann::json::object()).at("run");
  EXPECT_EQ(Get("/api/runs/" + run + "/export?format=csv")->status, 200);
  LogIn();  // another login of the same user is another session
  EXPECT_EQ(Get("/api/runs/" + run + "/export?format=csv")->status, 404);
}

}  // namespace
}  // namespace orv::http::test
