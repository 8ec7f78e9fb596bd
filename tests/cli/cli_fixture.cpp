// Processes are started with posix_spawn and forkpty, never through a shell,
// so arguments pass as they are. A terminal left running is killed.
#include "tests/cli/cli_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace orv::cli::test {
namespace {

std::vector<char*> Argv(const fs::path& binary, const std::vector<std::string>& arguments, std::string& program) {
  program = binary.string();
  std::vector<char*> argv{program.data()};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return argv;
}

int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

}  // namespace

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void CliTest::SetUp() {
  // The command is built beside the tests: <build>/cli/orvalent.
  binary_ = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "cli" / "orvalent";
  if (!fs::exists(binary_)) GTEST_SKIP() << "orvalent is not built: " << binary_;
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  directory_ = fs::temp_directory_path() /
               ("orv_cli_" + std::to_string(::getpid()) + "_" + test->test_suite_name() + "_" + test->name());
  fs::create_directories(directory_);
}

void CliTest::TearDown() {
  if (!directory_.empty()) fs::remove_all(directory_);
}

fs::path CliTest::WriteFile(const std::string& name, const std::string& bytes) {
  const fs::path path = directory_ / name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

int CliTest::Spawn(const std::vector<std::string>& arguments, const std::string& input, bool merge) {
  const fs::path in = WriteFile("stdin", input);
  const fs::path out = directory_ / "stdout";
  const fs::path err = directory_ / "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (merge) {
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  std::string program;
  std::vector<char*> argv = Argv(binary_, arguments, program);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return ExitCode(status);
}

CliResult CliTest::Run(const std::vector<std::string>& arguments, const std::string& input) {
  const int exit_code = Spawn(arguments, input, false);
  return {exit_code, ReadFile(directory_ / "stdout"), ReadFile(directory_ / "stderr")};
}

std::string CliTest::RunMerged(const std::vector<std::string>& arguments, const std::string& input) {
  Spawn(arguments, input, true);
  return ReadFile(directory_ / "stdout");
}

Terminal::Terminal(const fs::path& binary, const std::vector<std::string>& arguments, const fs::path& home) {
  std::string program;
  std::vector<char*> argv = Argv(binary, arguments, program);
  const std::string home_variable = "HOME=" + home.string();
  pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
  if (pid_ == 0) {
    putenv(const_cast<char*>(home_variable.c_str()));
    putenv(const_cast<char*>("TERM=dumb"));
    execv(program.c_str(), argv.data());
    _exit(127);
  }
}

Terminal::~Terminal() {
  if (Running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (master_ >= 0) close(master_);
}

std::string Terminal::Expect(const std::string& text, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (pending_.find(text) == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd poll_fd{master_, POLLIN, 0};
    if (left.count() <= 0 || poll(&poll_fd, 1, static_cast<int>(left.count())) <= 0) break;
    char buffer[4096];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) break;  // the program ended and closed the terminal
    pending_.append(buffer, static_cast<size_t>(n));
  }
  const size_t found = pending_.find(text);
  if (found == std::string::npos) {
    ADD_FAILURE() << "the terminal never showed \"" << text << "\"; it showed:\n" << pending_;
    return std::exchange(pending_, "");
  }
  std::string shown = pending_.substr(0, found + text.size());
  pending_.erase(0, found + text.size());
  return shown;
}

void Terminal::Type(const std::string& keys) {
  // The editor switches the terminal to its own mode after the prompt; a
  // pause keeps the terminal from echoing keys typed before that.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  for (size_t written = 0; written < keys.size();) {
    const ssize_t n = write(master_, keys.data() + written, keys.size() - written);
    if (n <= 0) return;
    written += static_cast<size_t>(n);
  }
}

bool Terminal::Running() {
  if (pid_ <= 0 || status_ >= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    status_ = ExitCode(status);
    return false;
  }
  return true;
}

int Terminal::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (Running() && std::chrono::steady_clock::now() < deadline) {
    // Keep draining the terminal, so the program never blocks on a full one.
    pollfd poll_fd{master_, POLLIN, 0};
    if (poll(&poll_fd, 1, 20) > 0) {
      char buffer[4096];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n > 0) pending_.append(buffer, static_cast<size_t>(n));
    }
  }
  return status_;
}

}  // namespace orv::cli::test
