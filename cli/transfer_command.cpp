// Import runs BULK INSERT inside a transaction and commits only when every
// row went in (or the bad rows stayed within --max-errors); export writes
// SELECT * of the table as CSV or TSV with a header line. Both forms quote a
// value that holds their separator, a quote or a line break (quotes doubled),
// write NULL as an empty field and the empty text as "", so whatever export
// writes, import reads back unchanged.
#include "cli/transfer_command.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <fstream>
#include <iostream>
#include <optional>

#include "cli/automation_error_output.h"
#include "cli/result_writer.h"
#include "cli/table_sources.h"
#include "engine/engine.h"
#include "platform/automation_error.h"
#include "platform/embedded_provider.h"

namespace orv::cli {
namespace {

std::string Quoted(const std::string& text, char quote) {
  std::string out(1, quote);
  for (char c : text) {
    out.push_back(c);
    if (c == quote) out.push_back(c);
  }
  out.push_back(quote);
  return out;
}

void PrintErrors(const engine::BatchResult& result, std::ostream& err) {
  for (const engine::BatchError& error : result.errors) {
    err << "Msg " << error.error.number() << ", Level " << error.error.severity() << ": " << error.error.message()
        << '\n';
  }
}

std::shared_ptr<engine::Database> Open(const std::string& name, std::ostream& err) {
  try {
    // A file is this command's alone, so closing it at the end checkpoints
    // the log; the process's shared instance would stay open until exit.
    return platform::IsDatabaseFilePath(name) ? platform::OpenDatabaseFile(name) : platform::GetDatabaseInstance(name);
  } catch (const platform::AutomationError& error) {
    PrintAutomationError(err, error);
    return nullptr;
  }
}

// A table name as the command line gives it, checked before it goes into SQL.
bool PlainTableName(const std::string& name) {
  if (name.empty()) return false;
  for (unsigned char c : name) {
    if (!std::isalnum(c) && c != '_' && c != '#' && c != '.' && c < 0x80) return false;
  }
  return true;
}

// Checks the table name, then opens the database: the exit code when either fails.
std::optional<int> CheckAndOpen(const TransferOptions& options, std::shared_ptr<engine::Database>& database,
                                std::ostream& err) {
  if (!PlainTableName(options.table)) {
    err << "'" << options.table << "' is not a table name.\n";
    return kExitUsage;
  }
  database = Open(options.database, err);
  if (!database) return kExitFailed;
  return std::nullopt;
}

}  // namespace

int RunImport(const TransferOptions& options, std::ostream& out, std::ostream& err) {
  std::shared_ptr<engine::Database> database;
  if (const std::optional<int> refused = CheckAndOpen(options, database, err)) return *refused;
  engine::Session session(database);
  // XACT_ABORT: any error that fails the load (a duplicate key as well as too
  // many bad rows) rolls the transaction back.
  const std::string sql = "SET NOCOUNT OFF\nSET XACT_ABORT ON\nBEGIN TRANSACTION\nBULK INSERT " + Quoted(options.table, '"') +
                          " FROM " + Quoted(options.file, '\'') + " WITH (FORMAT = 'CSV', FIRSTROW = 2, " +
                          "FIELDTERMINATOR = '" + (options.tsv ? "\\t" : ",") +
                          "', ROWTERMINATOR = '\\n', CODEPAGE = '65001', MAXERRORS = " +
                          std::to_string(options.max_errors) + ")";
  engine::BatchResult result = session.Execute(sql);
  PrintErrors(result, err);
  // A failed BULK INSERT (a missing file, too many bad rows, a duplicate key)
  // has rolled the transaction back: nothing is left to commit.
  if (session.Execute("SELECT @@TRANCOUNT").result_sets.at(0).at(0, 0).i != 1) {
    session.Execute("IF @@TRANCOUNT > 0 ROLLBACK");
    err << "Nothing was imported.\n";
    return kExitFailed;
  }
  engine::BatchResult commit = session.Execute("COMMIT");
  if (commit.first_error()) {
    PrintErrors(commit, err);
    return kExitFailed;
  }
  for (const std::string& message : result.messages) out << message << '\n';
  return 0;
}

int RunExport(const TransferOptions& options, std::ostream& out, std::ostream& err) {
  std::shared_ptr<engine::Database> database;
  if (const std::optional<int> refused = CheckAndOpen(options, database, err)) return *refused;
  engine::Session session(database);
  engine::BatchResult result = session.Execute("SELECT * FROM " + options.table);
  if (result.first_error()) {
    PrintErrors(result, err);
    return kExitFailed;
  }
  std::ofstream file;
  std::ostream* target = &out;
  if (options.file != "-") {
    file.open(options.file, std::ios::binary | std::ios::trunc);
    if (!file) {
      err << "Cannot open output file '" << options.file << "'.\n";
      return kExitFailed;
    }
    target = &file;
  }
  OutputSettings settings;
  settings.format = options.tsv ? OutputFormat::Tsv : OutputFormat::Csv;
  const std::unique_ptr<ResultWriter> writer = MakeResultWriter(*target, settings);
  writer->Result(EngineRows(result.result_sets.at(0)));
  writer->Finish();
  target->flush();
  if (!*target) {
    err << "Cannot write '" << options.file << "'.\n";
    return kExitFailed;
  }
  return 0;
}

void AddTransferCommands(CommandLine& command_line) {
  for (const bool import : {true, false}) {
    auto options = std::make_shared<TransferOptions>();
    CLI::App& command = command_line.AddCommand(
        import ? "import" : "export",
        import ? "Load a CSV/TSV file with a header line into a table, all rows or none"
               : "Write a table as CSV/TSV with a header line (NULL an empty field, the empty text \"\")",
        [options, import] {
          return import ? RunImport(*options, std::cout, std::cerr) : RunExport(*options, std::cout, std::cerr);
        });
    command.add_option("-d,--database", options->database, "A database file (a path) or a named embedded database")
        ->required();
    command.add_option("--table", options->table, "The table")->required();
    command.add_option("file", options->file, import ? "The file to read" : "The file to write (- for standard output)")
        ->required();
    command.add_flag("--tsv", options->tsv,
                     "Tab-separated instead of comma-separated (a value with a tab, quote or line break is quoted, "
                     "quotes doubled, as in CSV)");
    if (import) {
      command.add_option("--max-errors", options->max_errors, "Bad rows to leave out before nothing is imported")
          ->capture_default_str();
    }
  }
}

}  // namespace orv::cli
