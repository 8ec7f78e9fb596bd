// Runs the built orvalent binary as a process (standard input from a text,
// output and errors captured apart) or on a pseudo-terminal, in a scratch
// folder that also serves as its home.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace orv::cli::test {

namespace fs = std::filesystem;

struct CliResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const fs::path& path);

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  fs::path WriteFile(const std::string& name, const std::string& bytes);
  CliResult Run(const std::vector<std::string>& arguments, const std::string& input = "");
  // Output and errors into one text, in the order they were written.
  std::string RunMerged(const std::vector<std::string>& arguments, const std::string& input = "");

  fs::path binary_;
  fs::path directory_;

 private:
  int Spawn(const std::vector<std::string>& arguments, const std::string& input, bool merge);
};

// The binary on a pseudo-terminal: what it prints is read until an expected
// text shows up; every wait is bounded.
class Terminal {
 public:
  Terminal(const fs::path& binary, const std::vector<std::string>& arguments, const fs::path& home);
  ~Terminal();
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  // Everything printed from the previous Expect up to and including `text`;
  // fails the test (and returns what came) when it does not come in time.
  std::string Expect(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(30));
  void Type(const std::string& keys);
  // The exit code once the program ends; -1 when it does not end in time.
  int Wait(std::chrono::milliseconds timeout = std::chrono::seconds(30));
  bool Running();

 private:
  pid_t pid_ = -1;
  int master_ = -1;
  std::string pending_;
  int status_ = -1;
};

}  // namespace orv::cli::test
