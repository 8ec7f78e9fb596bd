// The sql command. Informational messages ("(3 rows affected)") are printed
// only in the table format, so that CSV and JSON stay machine-readable.
#include "cli/sql_command.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>

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

// Runs every batch of `script`; prints results when `out` is given. Returns
// false when a batch failed.
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
    if (out != nullptr) {
      for (const engine::ResultSet& rows : result.result_sets) {
        PrintResult(*out, FromResultSet(rows), format);
        if (format == OutputFormat::Table) *out << '\n';
      }
      if (format == OutputFormat::Table) {
        for (const std::string& message : result.messages) *out << message << '\n';
      }
    }
    if (result.error) {
      PrintSqlError(err, *result.error);
      all_ran = false;
    }
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

}  // namespace orv::cli
