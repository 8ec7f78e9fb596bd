// Parsing and dispatch. Usage errors exit with 2 and failures of the work
// with 1, whatever CLI11's own error codes are, so scripts can tell them apart.
#include "cli/command_line.h"

#include <exception>
#include <iostream>

#include "demo/demo_database.h"
#include "frame/registration.h"
#include "platform/class_registry.h"

namespace orv::cli {

CommandLine::CommandLine() : app_("Orvalent: the fixed-asset acquisition reports on an embedded database") {
  app_.require_subcommand(1);
}

CLI::App& CommandLine::AddCommand(const std::string& name, const std::string& description, CommandAction action) {
  CLI::App* command = app_.add_subcommand(name, description);
  commands_.emplace_back(command, std::move(action));
  return *command;
}

int CommandLine::Run(int argc, char** argv) {
  try {
    app_.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app_.exit(error);
    return code == 0 ? kExitOk : kExitUsage;
  }
  try {
    platform::RegisterPlatformClasses();
    frame::RegisterComponent();
    demo::RegisterDemoDatabases();
    for (const auto& [command, action] : commands_) {
      if (command->parsed()) return action();
    }
    return kExitUsage;
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return kExitFailed;
  }
}

}  // namespace orv::cli
