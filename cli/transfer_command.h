// `orvalent import` and `orvalent export`: CSV or TSV files with a header
// line in and out of a table of an embedded database (a database file or a
// named one). Import is one transaction typed by the table: a row that does
// not convert is reported by its line and, past --max-errors (0 by default),
// nothing is imported.
#pragma once

#include <iosfwd>
#include <string>

#include "cli/command_line.h"

namespace orv::cli {

struct TransferOptions {
  std::string database;
  std::string table;
  std::string file;
  bool tsv = false;
  int max_errors = 0;
};

void AddTransferCommands(CommandLine& command_line);

// Exit codes: 0 done, 1 the database, the file or a row failed.
int RunImport(const TransferOptions& options, std::ostream& out, std::ostream& err);
int RunExport(const TransferOptions& options, std::ostream& out, std::ostream& err);

}  // namespace orv::cli
