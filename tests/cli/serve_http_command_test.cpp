// `orvalent serve --http` refuses what it cannot do before it listens: two
// protocols at once, TLS files it would not use, an address it cannot read.
// The page test drives a running one.
#include "tests/cli/cli_fixture.h"

namespace orv::cli::test {
namespace {

class ServeHttpCommandTest : public CliTest {};

TEST_F(ServeHttpCommandTest, RefusesWhatItCannotServe) {
  const fs::path users = WriteFile("users", "");
  const std::vector<std::string> common = {"serve", "--database", "demo-tiny", "--users", users.string()};
  const auto run = [&](std::vector<std::string> extra) {
    std::vector<std::string> arguments = common;
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return Run(arguments);
  };
  const CliResult both = run({"--http", "--tds"});
  EXPECT_EQ(both.exit_code, 1);
  EXPECT_EQ(both.err, "Choose one protocol to serve: --tds or --http.\n");
  const CliResult neither = run({});
  EXPECT_EQ(neither.err, "Choose one protocol to serve: --tds or --http.\n");
  const CliResult tls = run({"--http", "--tls-cert", "c.pem", "--tls-key", "k.pem"});
  EXPECT_EQ(tls.exit_code, 1);
  EXPECT_NE(tls.err.find("plain HTTP"), std::string::npos);
  const CliResult port = run({"--http", "--listen", "127.0.0.1:http"});
  EXPECT_EQ(port.exit_code, 1);
  EXPECT_EQ(port.err, "--listen has a bad port 'http'.\n");
  EXPECT_TRUE(port.out.empty());
}

}  // namespace
}  // namespace orv::cli::test
