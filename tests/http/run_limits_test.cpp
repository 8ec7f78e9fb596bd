// The service's limits on the work it does for a client: a report run past
// its time limit is stopped in the database and answered with a time-out,
// and the service listens on this machine only unless told otherwise.
#include <netdb.h>
#include <netinet/in.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "tests/http/service_fixture.h"

namespace orv::http::test {
namespace {

class RunLimitsTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    config_.log = [this](const std::string& line) {
      const std::lock_guard lock(log_mutex_);
      log_.push_back(line);
    };
  }
  size_t LogLinesWith(const std::string& text) {
    const std::lock_guard lock(log_mutex_);
    return static_cast<size_t>(
        std::count_if(log_.begin(), log_.end(), [&](const std::string& line) { return line.find(text) != line.npos; }));
  }

  std::mutex log_mutex_;
  std::vector<std::string> log_;
};

// Every run of the demo report takes far longer than a millisecond, so each
// is stopped; the second one finding the only run place free again shows the
// first gave it back.
TEST_F(RunLimitsTest, ARunPastItsTimeLimitIsStoppedAndAnsweredWithATimeOut) {
  config_.run_timeout = std::chrono::milliseconds(1);
  config_.max_concurrent_runs = 1;
  Start();
  LogIn("en");
  for (int run = 0; run < 2; ++run) {
    const nlohmann::json reply = Run("2010001", nlohmann::json::object(), 504);
    EXPECT_EQ(reply.value("error", ""), "The report ran longer than 1 seconds and was stopped; narrow the filter");
    EXPECT_FALSE(reply.contains("run"));  // nothing kept for export
  }
  EXPECT_EQ(LogLinesWith("http report 2010001 for 'clerk' stopped at the time limit"), 2u);
}

TEST_F(RunLimitsTest, WithinItsTimeLimitARunAnswersAsBefore) {
  config_.run_timeout = std::chrono::minutes(5);
  Start();
  LogIn("en");
  const nlohmann::json reply = Run("2010001", nlohmann::json::object());
  EXPECT_TRUE(reply.contains("run"));
  EXPECT_EQ(LogLinesWith("time limit"), 0u);
}

// The default address, resolved as the listener would, is a loopback one.
TEST(ServiceDefaults, TheDefaultListenAddressIsThisMachineOnly) {
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  ASSERT_EQ(getaddrinfo(kDefaultListenHost, nullptr, &hints, &found), 0);
  for (const addrinfo* address = found; address; address = address->ai_next) {
    if (address->ai_family == AF_INET) {
      const auto* v4 = reinterpret_cast<const sockaddr_in*>(address->ai_addr);
      EXPECT_EQ(ntohl(v4->sin_addr.s_addr) >> 24, 127u);
    } else {
      ASSERT_EQ(address->ai_family, AF_INET6);
      EXPECT_TRUE(IN6_IS_ADDR_LOOPBACK(&reinterpret_cast<const sockaddr_in6*>(address->ai_addr)->sin6_addr));
    }
  }
  freeaddrinfo(found);
  EXPECT_NE(kDefaultListenPort, 0);
  // A configuration left as it is puts a time limit on every run.
  EXPECT_GT(ServiceConfig{}.run_timeout.count(), 0);
}

}  // namespace
}  // namespace orv::http::test
