// The user subcommands. The password never appears on the command line
// (where other users could read it); it comes from standard input.
#include "cli/user_command.h"

#include <termios.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "accounts/user_file.h"

namespace orv::cli {
namespace {

struct UserOptions {
  std::string file;
  std::string name;
  bool replace = false;
};

// Turns terminal echo off for its lifetime.
class NoEcho {
 public:
  NoEcho() : active_(::tcgetattr(STDIN_FILENO, &saved_) == 0) {
    if (!active_) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
  }
  ~NoEcho() {
    if (active_) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  NoEcho(const NoEcho&) = delete;
  NoEcho& operator=(const NoEcho&) = delete;

 private:
  termios saved_{};
  bool active_;
};

std::string ReadLine(std::istream& in) {
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Runs `action`; returns the exit code, errors printed.
template <typename Action>
int Finish(Action action) {
  try {
    action();
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

std::string ReadPassword(std::istream& in, bool from_terminal, std::ostream& prompt) {
  if (!from_terminal) {
    const std::string password = ReadLine(in);
    if (password.empty()) throw std::runtime_error("No password on standard input.");
    return password;
  }
  NoEcho quiet;
  prompt << "Password: " << std::flush;
  const std::string password = ReadLine(in);
  prompt << "\nAgain: " << std::flush;
  const std::string again = ReadLine(in);
  prompt << '\n';
  if (password.empty()) throw std::runtime_error("The password must not be empty.");
  if (password != again) throw std::runtime_error("The two passwords differ.");
  return password;
}

int RunUserCommand(const UserOptions& options, const CLI::App& add, const CLI::App& remove) {
  if (add.parsed()) {
    return Finish([&] {
      accounts::UserFile file = accounts::UserFile::Load(options.file);
      const std::string password = ReadPassword(std::cin, ::isatty(STDIN_FILENO) != 0, std::cerr);
      file.Add(options.name, password, options.replace);
      file.Save(options.file);
    });
  }
  if (remove.parsed()) {
    return Finish([&] {
      accounts::UserFile file = accounts::UserFile::Load(options.file);
      if (!file.Remove(options.name)) throw std::runtime_error("No user '" + options.name + "'.");
      file.Save(options.file);
    });
  }
  return Finish([&] {
    const accounts::UserFile file = accounts::UserFile::Load(options.file);
    for (const accounts::UserEntry& entry : file.users()) std::cout << entry.name << '\n';
  });
}

void AddUserCommand(CommandLine& command_line) {
  auto options = std::make_shared<UserOptions>();
  CLI::App& user = command_line.AddCommand("user", "Manage the users of the server's user file", [options, &command_line] {
    const CLI::App* parsed = command_line.Command("user");
    return RunUserCommand(*options, *parsed->get_subcommand("add"), *parsed->get_subcommand("remove"));
  });
  user.require_subcommand(1);
  user.add_option("--file", options->file, "The user file")->required();

  CLI::App* add = user.add_subcommand("add", "Add a user; the password is read from standard input");
  add->add_option("name", options->name, "The login name")->required();
  add->add_flag("--replace", options->replace, "Set a new password for a user already there");

  CLI::App* remove = user.add_subcommand("remove", "Remove a user");
  remove->add_option("name", options->name, "The login name")->required();

  user.add_subcommand("list", "List the user names");
}

}  // namespace orv::cli
