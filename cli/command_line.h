// The `orvalent` command line: the top-level program and its subcommands.
// Each subcommand lives in a file of its own and adds itself with one call
// from main(), so that a new subcommand touches main.cpp by one line.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::cli {

// What a subcommand does once its arguments are parsed; returns the exit code.
using CommandAction = std::function<int()>;

// Exit codes shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the work failed (a SQL error, a report error, a file)
inline constexpr int kExitUsage = 2;   // the command line itself is wrong

class CommandLine {
 public:
  CommandLine();
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  CLI::App& app() { return app_; }

  // Adds the subcommand `name`; `action` runs when it is the one given.
  CLI::App& AddCommand(const std::string& name, const std::string& description, CommandAction action);

  // Parses the arguments and runs the chosen subcommand; returns the exit code.
  int Run(int argc, char** argv);

  // The subcommands in the order they were added.
  std::vector<std::string_view> CommandNames() const;
  // The subcommand `name`; null when there is none.
  const CLI::App* Command(std::string_view name) const;

 private:
  int Help(const std::string& topic) const;
  int UnknownCommand(const std::string& word) const;
  void PrintCommands() const;

  CLI::App app_;
  std::vector<std::pair<CLI::App*, CommandAction>> commands_;
};

}  // namespace orv::cli
