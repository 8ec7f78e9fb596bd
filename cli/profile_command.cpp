// The profile command. Each call parses the session, opens its own connection
// and closes it, so a value set in one process is seen by another only when
// the session's database outlives the process.
#include "cli/profile_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <ostream>

#include "cli/automation_error_output.h"
#include "cli/output_options.h"
#include "cli/table_sources.h"
#include "frame/profile_classes.h"
#include "platform/automation_error.h"

namespace orv::cli {

int RunProfileCommand(const ProfileOptions& options, std::ostream& out, std::ostream& err) {
  if (options.action == "set" && !options.value) {
    err << "profile set needs --value.\n";
    return kExitUsage;
  }
  if (options.action == "get" && options.value) {
    err << "profile get takes no --value.\n";
    return kExitUsage;
  }
  int32_t report = options.report;
  int32_t user = options.user;
  try {
    if (options.action == "set") {
      frame::CDataUpdate().SetDisEnterProfile(options.session, report, user, *options.value);
      return 0;
    }
    const std::shared_ptr<platform::Recordset> rows =
        frame::CDataRead().GetDisEnterProfile(options.session, report, user);
    const RecordsetRows table(rows);
    const std::unique_ptr<ResultWriter> writer = MakeResultWriter(out, options.output);
    writer->Result(table);
    if (options.output.format == OutputFormat::Table) writer->Message(RowCountMessage(table.row_count()));
    writer->Finish();
    return 0;
  } catch (const platform::AutomationError& error) {
    PrintAutomationError(err, error);
    return 1;
  }
}

void AddProfileCommand(CommandLine& command_line) {
  auto options = std::make_shared<ProfileOptions>();
  CLI::App& command = command_line.AddCommand(
      "profile", "Read (get) or replace (set) a user's display preference of a report",
      [options] { return RunProfileCommand(*options, std::cout, std::cerr); });
  command.add_option("action", options->action, "get or set")->required()->check(CLI::IsMember({"get", "set"}));
  command.add_option("--report", options->report, "The report number, e.g. 2010001")->required();
  command.add_option("--user", options->user, "The user number")->required();
  command.add_option("--value", options->value, "The preference to store (set only; may be empty)");
  command.add_option("--session", options->session, "The session property string sDsn")->capture_default_str();
  AddOutputOptions(command, options->output);
}

}  // namespace orv::cli
