// The `orvalent` command: runs SQL scripts on the embedded database, lists the
// registered classes and runs a report class the way the ERP client calls it.
// Every subcommand adds itself here with one call.
#include "cli/classes_command.h"
#include "cli/command_line.h"
#include "cli/completion_command.h"
#include "cli/report_command.h"
#include "cli/sql_command.h"

int main(int argc, char** argv) {
  orv::cli::CommandLine command_line;
  orv::cli::AddSqlCommand(command_line);
  orv::cli::AddClassesCommand(command_line);
  orv::cli::AddReportCommand(command_line);
  orv::cli::AddCompletionCommand(command_line);
  return command_line.Run(argc, argv);
}
