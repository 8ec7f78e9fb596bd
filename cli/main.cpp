// The `orvalent` command: runs SQL scripts on the embedded database, lists the
// registered classes, runs a report class the way the ERP client calls it, and
// reads the display profiles and the data source's capability cache, and serves
// the engine over TDS with its user file.
// Every subcommand adds itself here with one call.
#include "cli/classes_command.h"
#include "cli/command_line.h"
#include "cli/completion_command.h"
#include "cli/datasource_command.h"
#include "cli/profile_command.h"
#include "cli/report_command.h"
#include "cli/serve_command.h"
#include "cli/sql_command.h"
#include "cli/transfer_command.h"
#include "cli/user_command.h"
#include "engine/common/freed_memory.h"

int main(int argc, char** argv) {
  // The shell, the servers and a report's batches reuse what one statement freed.
  orv::engine::KeepFreedMemory();
  orv::cli::CommandLine command_line;
  orv::cli::AddSqlCommand(command_line);
  orv::cli::AddClassesCommand(command_line);
  orv::cli::AddReportCommand(command_line);
  orv::cli::AddProfileCommand(command_line);
  orv::cli::AddTransferCommands(command_line);
  orv::cli::AddDataSourceCommand(command_line);
  orv::cli::AddServeCommand(command_line);
  orv::cli::AddUserCommand(command_line);
  orv::cli::AddCompletionCommand(command_line);
  return command_line.Run(argc, argv);
}
