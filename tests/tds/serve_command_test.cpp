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
#include <regex>
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
    if (server_ > 0) Stop();
    if (!directory_.empty()) fs::remove_all(directory_);
  }

  int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Read(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Starts `orvalent serve --tds` on a free port with user "op" (password "pw");
  // returns the port it prints, or 0.
  int Serve(const std::string& database) {
    const std::string users = (directory_ / "users").string();
    if (Shell("echo 'pw' | '" + binary_.string() + "' user --file '" + users + "' add op --replace") != 0) return 0;
    const fs::path out = directory_ / "serve.out";
    server_ = ::fork();
    if (server_ == 0) {
      const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(fd, 1);
      ::execl(binary_.c_str(), "orvalent", "serve", "--tds", "--listen", "127.0.0.1:0", "--database", database.c_str(),
              "--users", users.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // The first line names the port: "listening on 127.0.0.1:PORT database NAME".
    std::string line;
    for (int tries = 0; tries < 400 && line.empty(); ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
      std::ifstream in(out);
      std::getline(in, line);
    }
    if (!line.starts_with("listening on 127.0.0.1:")) return 0;
    first_line_ = line;
    return std::stoi(line.substr(line.rfind(':') + 1, line.find(' ', line.rfind(':')) - line.rfind(':') - 1));
  }

  // Sends SIGTERM and returns the exit code.
  int Stop() {
    ::kill(server_, SIGTERM);
    int status = 0;
    ::waitpid(server_, &status, 0);
    server_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path binary_;
  fs::path directory_;
  pid_t server_ = -1;
  std::string first_line_;
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

TEST_F(ServeCommandTest, ServesAScriptDatabaseOnAFreePortUntilTerminated) {
  std::ofstream(directory_ / "db.sql") << "CREATE TABLE t (a INT)\nGO\nINSERT INTO t VALUES (5)\n";
  const int port = Serve((directory_ / "db.sql").string());
  ASSERT_NE(port, 0) << Read(directory_ / "serve.out");
  EXPECT_NE(first_line_.find("database db"), std::string::npos);
  {
    TestClient client(static_cast<uint16_t>(port));
    EXPECT_TRUE(client.Login("op", "pw", "db").login_ack);
    EXPECT_EQ(client.Batch("SELECT a FROM t").rows.at(0).at(0).at(0), "5");
  }
  EXPECT_EQ(Stop(), 0);
}

TEST_F(ServeCommandTest, ReportCommandThroughOdbcPrintsWhatTheEmbeddedPathPrints) {
  const int port = Serve("demo-tiny");
  ASSERT_NE(port, 0) << Read(directory_ / "serve.out");
  const auto report = [&](const std::string& connect_string, const std::string& name) {
    const std::string session = "ConnectString={" + connect_string + "};Language=chs;";
    Shell("'" + binary_.string() + "' report 2010001 --show-sql --format csv --session \"" + session + "\" >'" +
          (directory_ / (name + ".out")).string() + "' 2>'" + (directory_ / (name + ".err")).string() + "'");
    // The temporary table's name is made of the time and a random number.
    const std::regex table_name("#Rpt2010001[0-9]+");
    return std::regex_replace(Read(directory_ / (name + ".out")) + "\n--\n" + Read(directory_ / (name + ".err")),
                              table_name, "#Rpt2010001N");
  };
  const std::string remote = report("Provider=SQLOLEDB;Data Source=127.0.0.1," + std::to_string(port) +
                                        ";Initial Catalog=demo-tiny;User ID=op;Password=pw",
                                    "remote");
  const std::string embedded = report("Provider=Orvalent.Embedded;Data Source=demo-tiny", "embedded");
  EXPECT_NE(embedded.find("SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED\nGO"), std::string::npos) << embedded;
  EXPECT_TRUE(remote == embedded) << remote;
}

}  // namespace
}  // namespace orv::tds::testing
