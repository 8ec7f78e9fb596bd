// `orvalent user` and `orvalent serve --tds` as an operator runs them: the
// user file made from standard input, the server started on a free port,
// reached by a client, and stopped by SIGTERM.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "accounts/user_file.h"
#include "tests/tds/tds_test_client.h"

namespace orv::tds::testing {
namespace {

namespace fs = std::filesystem;

class ServeCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    binary_ = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "cli" / "orvalent";
    if (!fs::exists(binary_)) GTEST_SKIP() << "orvalent is not built: " << binary_;
    directory_ = fs::temp_directory_path() / ("orv_serve_" + std::to_string(::getpid()));
    fs::create_directories(directory_);
  }
  void TearDown() override {
    if (!directory_.empty()) fs::remove_all(directory_);
  }

  int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path binary_;
  fs::path directory_;
};

TEST_F(ServeCommandTest, UserAddReadsThePasswordFromStandardInput) {
  const std::string users = (directory_ / "users").string();
  EXPECT_EQ(Shell("echo 'pa ss' | '" + binary_.string() + "' user --file '" + users + "' add carol"), 0);
  EXPECT_NE(Shell("echo 'other' | '" + binary_.string() + "' user --file '" + users + "' add carol 2>/dev/null"), 0);
  EXPECT_EQ(Shell("echo 'other' | '" + binary_.string() + "' user --file '" + users + "' add carol --replace"), 0);
  EXPECT_NE(Shell("'" + binary_.string() + "' user --file '" + users + "' add dave </dev/null 2>/dev/null"), 0);
  const accounts::UserFile file = accounts::UserFile::Load(users);
  ASSERT_EQ(file.users().size(), 1u);
  EXPECT_TRUE(accounts::VerifyPassword(file.Find("carol"), "other"));
  EXPECT_EQ(Shell("'" + binary_.string() + "' user --file '" + users + "' remove carol"), 0);
  EXPECT_TRUE(accounts::UserFile::Load(users).users().empty());
}

TEST_F(ServeCommandTest, ServesOnAFreePortUntilTerminated) {
  const std::string users = (directory_ / "users").string();
  ASSERT_EQ(Shell("echo 'pw' | '" + binary_.string() + "' user --file '" + users + "' add op"), 0);
  std::ofstream(directory_ / "db.sql") << "CREATE TABLE t (a INT)\nGO\nINSERT INTO t VALUES (5)\n";
  const fs::path out = directory_ / "out";
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, 1);
    ::execl(binary_.c_str(), "orvalent", "serve", "--tds", "--listen", "127.0.0.1:0", "--database",
            (directory_ / "db.sql").c_str(), "--users", users.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // The first line names the port: "listening on 127.0.0.1:PORT database db".
  std::string line;
  for (int tries = 0; tries < 200 && line.empty(); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::ifstream in(out);
    std::getline(in, line);
  }
  ASSERT_TRUE(line.starts_with("listening on 127.0.0.1:")) << line;
  const int port = std::stoi(line.substr(line.rfind(':') + 1));
  EXPECT_NE(line.find("database db"), std::string::npos);
  {
    TestClient client(static_cast<uint16_t>(port));
    EXPECT_TRUE(client.Login("op", "pw", "db").login_ack);
    EXPECT_EQ(client.Batch("SELECT a FROM t").rows.at(0).at(0).at(0), "5");
  }
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace orv::tds::testing
