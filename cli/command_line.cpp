// Parsing and dispatch. Usage errors exit with 2 and failures of the work
// with 1, whatever CLI11's own error codes are, so scripts can tell them
// apart. A word that is no command is caught before CLI11 sees it, so the
// message can name the word and the closest command.
#include "cli/command_line.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <iostream>

#include "demo/demo_database.h"
#include "frame/closest_name.h"
#include "platform/class_registry.h"
#include "platform/providers/odbc/odbc_provider.h"
#include "reports/registration.h"

namespace orv::cli {
namespace {

constexpr const char* kVersion = "orvalent " ORV_VERSION;

// Output that did not reach its destination (a full disk, a closed pipe)
// fails the command: a run that lost its results must not look successful.
int CheckOutputWritten(int code) {
  errno = 0;
  std::cout.flush();
  if (std::cout) return code;
  const int error = errno;
  std::cerr << "orvalent: the output could not be written" << (error != 0 ? std::string(": ") + std::strerror(error) : std::string())
            << ".\n";
  return kExitFailed;
}

}  // namespace

CommandLine::CommandLine() : app_("Orvalent: the fixed-asset acquisition reports on an embedded database") {
  app_.name("orvalent");
  app_.set_version_flag("--version", kVersion, "Print the version and exit");
  app_.footer("Run 'orvalent help COMMAND' or 'orvalent COMMAND --help' for a command's options.\n");
  // Listed like the others; Run answers it before CLI11 parses, since CLI11
  // would take its topic for a command to run.
  AddCommand("help", "Print the help of orvalent or of one command: orvalent help [COMMAND]",
             [this] { return Help(""); });
}

int CommandLine::Help(const std::string& topic) const {
  if (topic.empty()) {
    std::cout << app_.get_formatter()->make_help(&app_, app_.get_name(), CLI::AppFormatMode::Normal);
    return kExitOk;
  }
  const CLI::App* command = Command(topic);
  if (command == nullptr) return UnknownCommand(topic);
  std::cout << command->help(app_.get_name());
  return kExitOk;
}

CLI::App& CommandLine::AddCommand(const std::string& name, const std::string& description, CommandAction action) {
  CLI::App* command = app_.add_subcommand(name, description);
  commands_.emplace_back(command, std::move(action));
  return *command;
}

std::vector<std::string_view> CommandLine::CommandNames() const {
  std::vector<std::string_view> names;
  for (const auto& [command, action] : commands_) names.push_back(command->get_name());
  return names;
}

const CLI::App* CommandLine::Command(std::string_view name) const {
  for (const auto& [command, action] : commands_) {
    if (command->get_name() == name) return command;
  }
  return nullptr;
}

int CommandLine::UnknownCommand(const std::string& word) const {
  std::cerr << "orvalent: '" << word << "' is not a command; did you mean '"
            << frame::ClosestName(word, CommandNames()) << "'?\n";
  PrintCommands();
  return kExitUsage;
}

void CommandLine::PrintCommands() const {
  std::cerr << "Commands:";
  for (const std::string_view name : CommandNames()) std::cerr << ' ' << name;
  std::cerr << "\nRun 'orvalent help' for more.\n";
}

int CommandLine::Run(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "orvalent: a command is required.\n";
    PrintCommands();
    return kExitUsage;
  }
  const std::string first = argv[1];
  if (first == "help") return Help(argc > 2 ? argv[2] : "");
  if (!first.starts_with("-")) {
    const std::vector<std::string_view> names = CommandNames();
    if (std::find(names.begin(), names.end(), first) == names.end()) return UnknownCommand(first);
  }
  try {
    app_.parse(argc, argv);
  } catch (const CLI::RuntimeError& error) {
    return error.get_exit_code();  // a failure of work done while parsing, already reported
  } catch (const CLI::ParseError& error) {
    const int code = app_.exit(error);
    return code == 0 ? kExitOk : kExitUsage;
  }
  // A closed pipe is then a write error the command reports, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);
  try {
    platform::RegisterPlatformClasses();
    platform::odbc::RegisterOdbcProvider();
    reports::RegisterComponent();
    demo::RegisterDemoDatabases();
    for (const auto& [command, action] : commands_) {
      if (command->parsed()) return CheckOutputWritten(action());
    }
    return kExitUsage;
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return kExitFailed;
  }
}

}  // namespace orv::cli
