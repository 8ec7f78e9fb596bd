// The sql command. Without -b every batch runs and a failure anywhere makes
// the exit code 1; with -b the run stops at the first failing batch.
// Informational messages appear only in the table and JSON formats, so that
// CSV stays machine-readable.
#include "cli/sql_command.h"

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "cli/output_options.h"
#include "cli/script_runner.h"
#include "cli/script_text.h"
#include "cli/sql_shell.h"
#include "platform/automation_error.h"
#include "platform/embedded_provider.h"

namespace orv::cli {
namespace {

std::string ReadScript(const std::string& path) {
  return DecodeScript(ReadInput(path), path == "-" ? "standard input" : path);
}

// The contradictions CLI11 cannot see: where the SQL comes from must be one place.
std::string SourceConflict(const SqlOptions& options) {
  if (options.query_given && !options.input_files.empty()) return "-Q and -i cannot be used together.";
  if (options.query_given && !options.script.empty()) return "-Q and a script argument cannot be used together.";
  if (!options.input_files.empty() && !options.script.empty()) {
    return "-i and a script argument cannot be used together; give every file to -i.";
  }
  return "";
}

// Runs the load files without printing their results; false after the first failure.
bool LoadFiles(engine::Session& session, const std::vector<std::string>& files, std::ostream& err) {
  SqlRunner quiet(session, nullptr, nullptr, err);
  for (const std::string& file : files) {
    ScriptRunner loader(quiet, true);
    if (!loader.RunText(ReadScript(file)) || loader.failed()) {
      err << "Loading '" << file << "' failed.\n";
      return false;
    }
  }
  return true;
}

void RunSources(const SqlOptions& options, ScriptRunner& script) {
  if (options.query_given) {
    script.RunText(options.query);
    return;
  }
  for (const std::string& file : options.input_files) {
    if (!script.RunText(ReadScript(file))) return;
  }
  if (!options.input_files.empty()) return;
  const std::string source = options.script.empty() ? "-" : options.script;
  if (source == "-" && isatty(STDIN_FILENO) != 0) {
    RunInteractive(script);
  } else {
    script.RunText(ReadScript(source));
  }
}

}  // namespace

int RunSqlCommand(const SqlOptions& options, std::ostream& out, std::ostream& err) {
  if (const std::string conflict = SourceConflict(options); !conflict.empty()) {
    err << conflict << '\n';
    return kExitUsage;
  }
  std::shared_ptr<engine::Database> database;
  try {
    if (options.database.empty()) {
      database = std::make_shared<engine::Database>("orvalent");
    } else if (options.create || platform::IsDatabaseFilePath(options.database)) {
      // The command's own: closing it at the end checkpoints the log.
      database = platform::OpenDatabaseFile(options.database, options.create);
    } else {
      database = platform::OpenNamedDatabase(options.database);
    }
  } catch (const platform::AutomationError& error) {
    err << error.description() << '\n';
    return kExitFailed;
  }
  std::ofstream file;
  std::ostream* target = &out;
  if (!options.output_file.empty()) {
    file.open(options.output_file, std::ios::binary | std::ios::trunc);
    if (!file) {
      err << "Cannot open output file '" << options.output_file << "'.\n";
      return kExitFailed;
    }
    target = &file;
  }
  engine::Session session(database);
  if (options.memory_limit_mb >= 0) session.set_memory_limit(static_cast<size_t>(options.memory_limit_mb) << 20);
  try {
    if (!LoadFiles(session, options.load_files, err)) return kExitFailed;
  } catch (const std::runtime_error& error) {
    err << error.what() << '\n';
    return kExitFailed;
  }
  const std::unique_ptr<ResultWriter> writer = MakeResultWriter(*target, options.output);
  SqlRunner runner(session, writer.get(), target, err);
  ScriptRunner script(runner, options.stop_on_error);
  bool unreadable = false;
  try {
    RunSources(options, script);
  } catch (const std::runtime_error& error) {
    target->flush();
    err << error.what() << '\n';
    unreadable = true;
  }
  writer->Finish();
  target->flush();
  if (!*target) {
    err << "The output could not be written" << (options.output_file.empty() ? "" : " to '" + options.output_file + "'")
        << ".\n";
    return kExitFailed;
  }
  return unreadable || script.failed() ? kExitFailed : kExitOk;
}

void AddSqlCommand(CommandLine& command_line) {
  auto options = std::make_shared<SqlOptions>();
  CLI::App& command = command_line.AddCommand(
      "sql",
      "Run T-SQL on an embedded database: a script, -i files, a -Q query, or interactively when standard input "
      "is a terminal. Batches end at GO lines (GO n runs one n times); QUIT or EXIT ends the run.",
      [options] { return RunSqlCommand(*options, std::cout, std::cerr); });
  // -h is the header option here, as in the server's command-line client.
  command.set_help_flag("--help", "Print this help message and exit");
  command.add_option("script", options->script,
                     "The script file, or - for standard input (the default; interactive on a terminal)");
  command.add_option("-i,--input-file", options->input_files,
                     "Script files run in order on the same connection (several after one -i, or comma-separated)")
      ->delimiter(',');
  command.add_option("-Q,--query", options->query, "Run this text as the script and exit")
      ->each([options](const std::string&) { options->query_given = true; });
  command.add_option("-o,--output-file", options->output_file,
                     "Write results and messages to this file (errors stay on standard error)");
  command.add_flag("-b,--abort-on-error", options->stop_on_error,
                   "Stop at the first batch that fails (the exit code is then 1)");
  command.add_option("-s,--separator", options->output.separator, "Column separator of the table format")
      ->capture_default_str();
  command.add_flag("-W,--trim", options->output.trim, "Do not pad table columns to their width");
  command.add_option("-h,--headers", options->output.headers_every,
                     "Table headers: -1 none, 0 once per result (the default), n again every n rows")
      ->check(CLI::Range(-1, 2147483647));
  command.add_option("-d,--database", options->database,
                     "A named embedded database (demo-tiny, demo-small, demo-large), a database file (a path) or "
                     ":memory: for a new empty one (the default)");
  command.add_flag("--create", options->create, "Create the database file --database names when it does not exist");
  command.add_option("--memory-limit-mb", options->memory_limit_mb,
                     "The memory one batch may hold before it fails with error 701 (default: half the machine's; 0: "
                     "no limit)")
      ->check(CLI::Range(int64_t{0}, int64_t{1} << 40));
  command.add_option("--load", options->load_files, "A script file run first, its results not printed; repeatable")
      ->allow_extra_args(false);
  AddOutputOptions(command, options->output);
  command.footer(
      "Exit codes: 0 when every batch ran, 1 when a batch failed or a file could not be read, 2 for a wrong "
      "command line.\n");
}

}  // namespace orv::cli
