// The sql command. Informational messages ("(3 rows affected)") are printed
// only in the table format, so that CSV and JSON stay machine-readable.
#include "cli/sql_command.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "cli/output_options.h"
#include "cli/table_sources.h"
#include "engine/parser/parser.h"
#include "platform/automation_error.h"
#include "platform/embedded_provider.h"

namespace orv::cli {
namespace {

void PrintSqlError(std::ostream& err, const engine::SqlError& error) {
  err << "Msg " << error.number() << ", Level " << error.severity() << ", State " << error.state() << ", Line "
      << error.line() << '\n'
      << error.message() << '\n';
}

// Prints a batch's result sets and messages in order, so that each error can
// be printed at its place between them.
struct BatchPrinter {
  const engine::BatchResult& result;
  std::ostream* out;
  OutputFormat format;
  size_t result_sets_done = 0;
  size_t messages_done = 0;

  void PrintUpTo(size_t result_sets, size_t messages) {
    for (; result_sets_done < result_sets; ++result_sets_done) {
      if (out == nullptr) continue;
      PrintResult(*out, FromResultSet(result.result_sets[result_sets_done]), format);
      if (format == OutputFormat::Table) *out << '\n';
    }
    for (; messages_done < messages; ++messages_done) {
      if (out != nullptr && format == OutputFormat::Table) *out << result.messages[messages_done] << '\n';
    }
  }
};

// Runs every batch of `script`; prints results when `out` is given. Returns
// false when any statement failed; errors go to `err` at their place in the output.
bool RunScript(engine::Session& session, const std::string& script, std::ostream* out, OutputFormat format,
               std::ostream& err) {
  bool all_ran = true;
  std::vector<engine::ScriptBatch> batches;
  try {
    batches = engine::SplitScript(script);
  } catch (const engine::SqlError& error) {
    PrintSqlError(err, error);
    return false;
  }
  for (const engine::ScriptBatch& batch : batches) {
    const engine::BatchResult result = session.Execute(batch.text);
    BatchPrinter printer{result, out, format};
    for (const engine::BatchError& error : result.errors) {
      printer.PrintUpTo(error.result_sets_before, error.messages_before);
      if (out != nullptr) out->flush();
      PrintSqlError(err, error.error);
      all_ran = false;
    }
    printer.PrintUpTo(result.result_sets.size(), result.messages.size());
  }
  return all_ran;
}

}  // namespace

std::string ReadInput(const std::string& path) {
  std::ostringstream text;
  if (path == "-") {
    text << std::cin.rdbuf();
    return text.str();
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("Cannot open file '" + path + "'.");
  text << file.rdbuf();
  return text.str();
}

int RunSqlCommand(const SqlOptions& options, std::ostream& out, std::ostream& err) {
  std::shared_ptr<engine::Database> database;
  try {
    database = options.database.empty() ? std::make_shared<engine::Database>("orvalent")
                                        : platform::GetDatabaseInstance(options.database);
  } catch (const platform::AutomationError& error) {
    err << "Cannot open database '" << options.database << "': " << error.description() << '\n';
    return 1;
  }
  engine::Session session(database);
  for (const std::string& file : options.load_files) {
    if (!RunScript(session, ReadInput(file), nullptr, options.format, err)) {
      err << "Loading '" << file << "' failed.\n";
      return 1;
    }
  }
  return RunScript(session, ReadInput(options.script), &out, options.format, err) ? 0 : 1;
}

void AddSqlCommand(CommandLine& command_line) {
  auto options = std::make_shared<SqlOptions>();
  CLI::App& command = command_line.AddCommand(
      "sql", "Run a T-SQL script (batches split at GO lines) and print its results",
      [options] { return RunSqlCommand(*options, std::cout, std::cerr); });
  command.add_option("--load", options->load_files, "A script file run first, its results not printed; repeatable")
      ->allow_extra_args(false);
  command.add_option("--database", options->database,
                     "A named embedded database (demo-tiny, demo-small, demo-large); default: a new empty one");
  command.add_option("script", options->script, "The script file, or - for standard input (the default)");
  AddFormatOption(command, options->format);
}

}  // namespace orv::cli
